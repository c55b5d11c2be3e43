// The PNG reader on arbitrary bytes; what it accepts is checked pixel by
// pixel and, when it can be written, read back alike.
#include <iostream>

#include "fuzz/picturecheck.h"
#include "fuzz/scratchfile.h"
#include "libgr/imagefile/pngfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (std::cerr.rdbuf(nullptr), true);
    (void)quiet;
    std::string path = fuzz::scratch_file("in.png", data, size);
    libgr::image2d_t image;
    libgr::image_png_t png;
    if (!png.load(image, path.c_str())) return 0;
    fuzz::check_picture(image);
    std::string again = path + ".out.png";
    libgr::image2d_t back;
    // Palette indexes past the palette load (libpng lets them pass) but are
    // refused when written: a save may fail; what is saved must load.
    if (!png.save(image, again.c_str())) return 0;
    if (!png.load(back, again.c_str())) std::abort();
    if (back.width != image.width || back.height != image.height || back.desc != image.desc) std::abort();
    return 0;
}

// The TGA reader on arbitrary bytes; what it accepts is checked pixel by
// pixel, and true-colour and grey pictures are written and read back.
#include <iostream>

#include "fuzz/picturecheck.h"
#include "fuzz/scratchfile.h"
#include "libgr/imagefile/imagetga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (std::cerr.rdbuf(nullptr), true);
    (void)quiet;
    std::string path = fuzz::scratch_file("in.tga", data, size);
    libgr::image2d_t image;
    libgr::image_tga_t tga;
    if (!tga.load(image, path.c_str())) return 0;
    fuzz::check_picture(image);
    if (image.desc.format == libgr::IMAGE_FORMAT_INDEX) return 0;
    std::string again = path + ".out.tga";
    libgr::image2d_t back;
    if (!tga.save(image, again.c_str()) || !tga.load(back, again.c_str())) std::abort();
    if (back.width != image.width || back.height != image.height || back.desc != image.desc) std::abort();
    return 0;
}

// Both BMP readers on arbitrary bytes; what they accept is checked pixel by
// pixel, and what the stream reader accepts is written and read back alike.
#include <iostream>

#include "fuzz/picturecheck.h"
#include "fuzz/scratchfile.h"
#include "libgr/imagefile/imagebmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (std::cerr.rdbuf(nullptr), true);
    (void)quiet;
    std::string path = fuzz::scratch_file("in.bmp", data, size);
    libgr::image2d_t image;
    if (libgr::image_bmp2_t().load(image, path.c_str())) fuzz::check_picture(image);
    libgr::image_bmp_t stream;
    if (stream.load(image, path.c_str())) {
        fuzz::check_picture(image);
        std::string again = path + ".out.bmp";
        libgr::image2d_t back;
        if (!stream.save(image, again.c_str()) || !stream.load(back, again.c_str())) std::abort();
        if (back.width != image.width || back.height != image.height) std::abort();
    }
    return 0;
}

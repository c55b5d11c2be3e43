// BMP files read through one read-only mapping of the whole file: windows
// onto the file header, the information header, the palette and the pixel
// bytes, which the picture shares without a copy (top-down files are turned
// into fresh memory). Palettes make 1-, 4- and 8-bit files INDEX pictures
// with a 16-bit palette; files without one are grey. 24-bit files are BGR and
// 32-bit files BGRA (uncompressed, or with the plain BGRA bit fields).
// Refusals are reported as for bmpimage_t (bmpimage.h).
#pragma once

#include "libgr/imagefile/bmpimage.h"

namespace libgr {

class bmpimage2_t {
  public:
    bmpheader_t header;  // decoded from the two header windows
    libutils::bytevector fileheader;
    libutils::bytevector infoheader;
    libutils::bytevector palette;  // 4-byte entries: blue, green, red, reserved
    libutils::bytevector pixels;   // from the pixel data offset to the end

    bool load(const char* path);
};

bool convert(image2d_t& image, const bmpimage2_t& bmp);

}  // namespace libgr

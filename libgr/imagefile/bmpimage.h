// BMP files (uncompressed, bottom-up or top-down) read into a header record
// and pixel bytes that the picture then shares. bmpimage_t reads through a
// stream and ignores the palette (1-, 4- and 8-bit files become grey);
// bmpimage2_t (bmpimage2.h) maps the file and keeps the palette.
//
// Header fields are checked against the file before anything is read or
// allocated; a refusal is one line on the standard error stream, the path then
// ": bmp: " and what is wrong ("not a BMP file.", "width or height out of
// range.", "pixel data past the end of the file.", ...). A top-down file
// (negative height) is read and turned bottom-up in memory.
// The writer refuses layouts other than 1-, 4- and 8-bit grey and 8-bit BGR
// with "convert(to bmp): not supported format."
#pragma once

#include <cstdint>
#include <ostream>

#include "libgr/image/image.h"
#include "libutils/refvector.h"

namespace libgr {

// The 14-byte file header and the 40-byte information header, little-endian.
struct bmpheader_t {
    uint16_t type = 0;  // "BM"
    uint32_t filesize = 0;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t offset = 0;  // of the pixel data
    uint32_t infosize = 0;
    int32_t width = 0;
    int32_t height = 0;  // negative: rows stored top-down
    uint16_t planes = 0;
    uint16_t bits = 0;
    uint32_t compression = 0;
    uint32_t imagesize = 0;
    int32_t xresolution = 0;
    int32_t yresolution = 0;
    uint32_t colorsused = 0;
    uint32_t colorsimportant = 0;

    static const unsigned size = 54;
    void decode(const unsigned char* bytes);
    void encode(unsigned char* bytes) const;

    uint32_t rows() const { return height < 0 ? 0u - uint32_t(height) : uint32_t(height); }
    // Bytes per stored row: padded to 4.
    uint64_t rowsize() const { return (uint64_t(bits) * uint32_t(width) + 31) / 32 * 4; }
    // Checks the geometry against a file of `filesize` bytes: sizes in range,
    // the pixel rows inside the file. Reports to `err` and returns false.
    bool check(std::ostream& err, const char* path, uint64_t filesize) const;
};

// Makes `image` a picture of width x rows from `pixels` (stored rows, padded
// to 4 bytes): shared when bottom-up, turned into fresh memory when top-down.
bool bmp_pixels_to_image(image2d_t& image, const bmpheader_t& header,
                         const libutils::bytevector& pixels, const image_desc_t& desc);

class bmpimage_t {
  public:
    bmpheader_t header;
    libutils::bytevector pixels;  // height x rowsize bytes

    bool load(const char* path);
    bool save(const char* path);
};

bool convert(image2d_t& image, const bmpimage_t& bmp);
bool convert(bmpimage_t& bmp, const image2d_t& image);

}  // namespace libgr

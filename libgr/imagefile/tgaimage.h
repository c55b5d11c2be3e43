// TGA files, uncompressed (image types 1 colour-mapped, 2 true-colour and
// 3 grey), read into a header record and pixel bytes that the picture then
// shares. TGA rows have no padding: they are read as stored and padded to 4
// bytes in memory, as pictures keep them. Only files whose origin is the
// bottom-left corner are taken ("origin not at the bottom left.").
//
// Header fields are checked against the file before anything is allocated;
// a refusal is one line on the standard error stream: the path, ": tga: "
// and what is wrong ("width or height is 0.", "pixel data past the end of
// the file.", "unsupported image type 10.", ...).
// The writer takes 8-bit RGB, RGBA, BGR and BGRA, BGRA R5G5B5A1 and 8-bit
// grey pictures; others give "convert(to tga): not supported format."
#pragma once

#include <cstdint>
#include <vector>

#include "libgr/image/image.h"
#include "libutils/refvector.h"

namespace libgr {

struct tgaheader_t {
    uint8_t idlength = 0;
    uint8_t colormaptype = 0;
    uint8_t imagetype = 0;
    uint16_t colormapfirst = 0;
    uint16_t colormaplength = 0;
    uint8_t colormapbits = 0;
    uint16_t xorigin = 0;
    uint16_t yorigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 0;
    uint8_t descriptor = 0;

    static const unsigned size = 18;
    void decode(const unsigned char* bytes);
    void encode(unsigned char* bytes) const;

    uint64_t filerow() const { return (uint64_t(width) * depth + 7) / 8; }
    uint64_t memrow() const { return (filerow() + 3) / 4 * 4; }
};

class tgaimage_t {
  public:
    tgaheader_t header;
    std::vector<unsigned char> id;
    std::vector<unsigned char> colormap;
    libutils::bytevector pixels;  // height rows of memrow() bytes

    bool load(const char* path);
    bool save(const char* path);
};

bool convert(image2d_t& image, const tgaimage_t& tga);
bool convert(tgaimage_t& tga, const image2d_t& image);

}  // namespace libgr

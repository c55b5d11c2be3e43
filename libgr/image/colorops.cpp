#include "libgr/image/colorops.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "libgr/image/convertbytes.h"
#include "libutils/error.h"

namespace libgr {

using namespace imageops_detail;

namespace {

// Bytes per pixel of a layout these operations take, and where red and blue
// sit in it; 0 for any other layout.
unsigned colour_bytes(const image2d_t& img, unsigned& red, unsigned& blue) {
    red = 0;
    blue = 2;
    if (img.desc.bits != IMAGE_BITS_8) return 0;
    switch (img.desc.format) {
        case IMAGE_FORMAT_BGR:
            std::swap(red, blue);
            return 3;
        case IMAGE_FORMAT_RGB:
            return 3;
        case IMAGE_FORMAT_BGRA:
            std::swap(red, blue);
            return 4;
        case IMAGE_FORMAT_RGBA:
            return 4;
        default:
            return 0;
    }
}

// dst takes `desc` and src's size; `fn(in, out, red, blue)` writes each
// pixel's bytes from the source pixel's. Colour layouts with 8-bit channels
// only; anything else is named and refused.
template <int Out, class Fn>
bool rewrite(const char* what, image2d_t& dst, const image2d_t& src, const image_desc_t& desc,
             Fn fn) {
    unsigned red, blue;
    unsigned bytes = colour_bytes(src, red, blue);
    if (!bytes)
        return libutils::fail(std::cerr, what, ": ", src.desc.format, ": unsupported format.");
    if (src.compressed)
        return libutils::fail(std::cerr, what, ": compressed format not supported.");
    auto each = [&](const unsigned char* in, unsigned char* out) { fn(in, out, red, blue); };
    return bytes == 3 ? convert_bytes<3, Out>(what, dst, src, desc, src.store, each)
                      : convert_bytes<4, Out>(what, dst, src, desc, src.store, each);
}

// The same layout out as in; alpha is kept.
template <class Fn>
bool rewrite_colour(const char* what, image2d_t& dst, const image2d_t& src, Fn fn) {
    if (src.desc.getPixelBits() == 32) {
        return rewrite<4>(what, dst, src, src.desc,
                          [&](const unsigned char* in, unsigned char* out, unsigned r, unsigned b) {
                              out[3] = in[3];
                              fn(in, out, r, b);
                          });
    }
    return rewrite<3>(what, dst, src, src.desc, fn);
}

unsigned char clamp_add(unsigned char v, signed char d) {
    return (unsigned char)std::clamp(int(v) + int(d), 0, 255);
}

}  // namespace

bool fillcolor(image2d_t& dst, const image2d_t& src, const color3ub_t& c) {
    return rewrite_colour("fillcolor()", dst, src,
                          [&](const unsigned char*, unsigned char* out, unsigned red,
                              unsigned blue) {
                              out[red] = c.r;
                              out[1] = c.g;
                              out[blue] = c.b;
                          });
}

bool addcolor(image2d_t& dst, const image2d_t& src, const color3b_t& c) {
    return rewrite_colour("addcolor()", dst, src,
                          [&](const unsigned char* in, unsigned char* out, unsigned red,
                              unsigned blue) {
                              out[red] = clamp_add(in[red], c.r);
                              out[1] = clamp_add(in[1], c.g);
                              out[blue] = clamp_add(in[blue], c.b);
                          });
}

bool monochrome(image2d_t& dst, const image2d_t& src) {
    if (src.desc.format == IMAGE_FORMAT_GRAYSCALE) {
        dst = src;
        return true;
    }
    return rewrite<1>("monochrome()", dst, src,
                      image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                      [](const unsigned char* in, unsigned char* out, unsigned red, unsigned blue) {
                          color3ub_t c;
                          c.r = in[red];
                          c.g = in[1];
                          c.b = in[blue];
                          out[0] = monochrome(c);
                      });
}

}  // namespace libgr

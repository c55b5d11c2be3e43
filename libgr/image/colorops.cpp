#include "libgr/image/colorops.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {

using namespace imageops_detail;

namespace {

// Bytes per pixel of a layout these operations take, and where red and blue
// sit in it; 0 for any other layout.
unsigned colour_bytes(const image2d_t& img, unsigned& red, unsigned& blue) {
    red = 0;
    blue = 2;
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

// dst takes src's description and size; `fn(in, out)` writes each pixel's
// bytes from the source pixel's.
template <class Fn>
bool rewrite(const char* what, image2d_t& dst, const image2d_t& src, const image_desc_t& desc,
             unsigned in_bytes, unsigned out_bytes, Fn fn) {
    if (src.compressed)
        return libutils::fail(std::cerr, what, ": compressed format not supported.");
    if (uint64_t(src.rowlength()) * in_bytes > src.rowsize() || !has_pixels(src))
        return libutils::fail(std::cerr, what, ": image buffer too small.");
    image2d_t s(src);  // keeps the pixels alive when dst is src
    if (!make_image(dst, desc, s.store, s.width, s.height))
        return libutils::fail(std::cerr, what, ": allocate() fail.");
    dst.palette = s.palette;
    uint64_t stride = dst.rowsize();
    for (uint32_t y = 0; y < s.height; ++y) {
        const unsigned char* in = s[y];
        unsigned char* out = dst.begin() + y * stride;
        for (uint32_t x = 0; x < s.width; ++x, in += in_bytes, out += out_bytes) fn(in, out);
        std::memset(out, 0, stride - uint64_t(s.width) * out_bytes);
    }
    return true;
}

// The colour layouts with 8-bit channels; anything else is named and refused.
template <class Fn>
bool rewrite_colour(const char* what, image2d_t& dst, const image2d_t& src, Fn fn) {
    unsigned red, blue;
    unsigned bytes = colour_bytes(src, red, blue);
    if (!bytes) return libutils::fail(std::cerr, what, ": ", src.desc.format, ": unsupported format.");
    return rewrite(what, dst, src, src.desc, bytes, bytes,
                   [&](const unsigned char* in, unsigned char* out) {
                       if (bytes == 4) out[3] = in[3];
                       fn(in, out, red, blue);
                   });
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
    unsigned red, blue;
    unsigned bytes = colour_bytes(src, red, blue);
    if (!bytes)
        return libutils::fail(std::cerr, "monochrome(): ", src.desc.format,
                              ": unsupported format.");
    return rewrite("monochrome()", dst, src,
                   image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8), bytes, 1,
                   [&](const unsigned char* in, unsigned char* out) {
                       color3ub_t c;
                       c.r = in[red];
                       c.g = in[1];
                       c.b = in[blue];
                       out[0] = monochrome(c);
                   });
}

}  // namespace libgr

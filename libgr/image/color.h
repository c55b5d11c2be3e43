// Colour value types and conversions between RGB and YCbCr (the full-range
// JFIF coefficients of ITU-R BT.601).
#pragma once

#include "libgr/image/vecmath.h"

namespace libgr {

struct color3_t {  // RGB, 0..1
    float r = 0, g = 0, b = 0;
    color3_t() = default;
    color3_t(float r_, float g_, float b_) : r(r_), g(g_), b(b_) {}
};

struct ycbcr_t {  // Y in 0..1, Cb and Cr centred on 0
    float y = 0, cb = 0, cr = 0;
    ycbcr_t() = default;
    ycbcr_t(float y_, float cb_, float cr_) : y(y_), cb(cb_), cr(cr_) {}
};

struct ycbcrub_t {  // bytes; chroma offset by 0x80
    unsigned char y = 0, cb = 0, cr = 0;
};

struct color3ub_t {
    unsigned char r = 0, g = 0, b = 0;
};
struct color3b_t {
    signed char r = 0, g = 0, b = 0;
};
struct color3aub_t {
    unsigned char r = 0, g = 0, b = 0, a = 0;
};

extern const matrix3w_t matrix_rgb2ycbcr;
extern const matrix3w_t matrix_ycbcr2rgb;

ycbcr_t ycbcr(const color3_t& c);
color3_t color3(const ycbcr_t& v);
ycbcrub_t ycbcrub(const ycbcr_t& v);
ycbcr_t ycbcr(const ycbcrub_t& v);
ycbcrub_t ycbcrub(const color3ub_t& c);
// Out-of-gamut results are clamped to 0..255 rather than wrapped.
color3ub_t color3ub(const ycbcrub_t& v);

// Luminance byte of an RGB colour.
unsigned char monochrome(const color3ub_t& c);

}  // namespace libgr

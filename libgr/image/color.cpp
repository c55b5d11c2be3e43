#include "libgr/image/color.h"

#include "libutils/byteconv.h"

namespace libgr {

const matrix3w_t matrix_rgb2ycbcr(vector3w_t(0.299f, -0.16874f, 0.5f, 0),
                                  vector3w_t(0.587f, -0.33126f, -0.41869f, 0),
                                  vector3w_t(0.114f, 0.5f, -0.08131f, 0), vector3w_t(0, 0, 0, 1));

const matrix3w_t matrix_ycbcr2rgb(vector3w_t(1, 1, 1, 0), vector3w_t(0, -0.34414f, 1.772f, 0),
                                  vector3w_t(1.402f, -0.71414f, 0, 0), vector3w_t(0, 0, 0, 1));

ycbcr_t ycbcr(const color3_t& c) {
    direction3_t v = direction3_t(c.r, c.g, c.b) * matrix_rgb2ycbcr;
    return {v.x, v.y, v.z};
}

color3_t color3(const ycbcr_t& c) {
    direction3_t v = direction3_t(c.y, c.cb, c.cr) * matrix_ycbcr2rgb;
    return {v.x, v.y, v.z};
}

ycbcrub_t ycbcrub(const ycbcr_t& v) {
    ycbcrub_t out;
    out.y = libutils::f2uc(v.y);
    out.cb = (unsigned char)(libutils::f2sc(v.cb) ^ 0x80);
    out.cr = (unsigned char)(libutils::f2sc(v.cr) ^ 0x80);
    return out;
}

ycbcr_t ycbcr(const ycbcrub_t& v) {
    return {libutils::uc2f(v.y), libutils::sc2f((signed char)(v.cb ^ 0x80)),
            libutils::sc2f((signed char)(v.cr ^ 0x80))};
}

ycbcrub_t ycbcrub(const color3ub_t& c) {
    return ycbcrub(ycbcr(color3_t(libutils::uc2f(c.r), libutils::uc2f(c.g), libutils::uc2f(c.b))));
}

namespace {
float clamp01(float f) {
    return f < 0 ? 0 : f > 1 ? 1 : f;
}
}  // namespace

color3ub_t color3ub(const ycbcrub_t& v) {
    color3_t c = color3(ycbcr(v));
    color3ub_t out;
    out.r = libutils::f2uc(clamp01(c.r));
    out.g = libutils::f2uc(clamp01(c.g));
    out.b = libutils::f2uc(clamp01(c.b));
    return out;
}

unsigned char monochrome(const color3ub_t& c) {
    return (unsigned char)((int)(0.114 * c.b + (0.587 * c.g + 0.299 * c.r)) & 255);
}

}  // namespace libgr

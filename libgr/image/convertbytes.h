// The pixel loop the 8-bit layout converters share: a new picture of the
// given description, every pixel written from the source pixel's bytes.
#pragma once

#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {
namespace imageops_detail {
// Rewrites every pixel of an 8-bit layout through `fn(in, out)`.
template <int In, int Out, class Fn>
bool convert_bytes(const char* what, image2d_t& dst, const image2d_t& src, const image_desc_t& desc,
                   image_store_t* store, Fn fn) {
    if (!has_pixels(src)) return libutils::fail(std::cerr, what, ": image buffer too small.");
    image2d_t s(src);
    if (!make_image(dst, desc, store, s.width, s.height))
        return libutils::fail(std::cerr, what, ": allocate() fail.");
    uint64_t stride = dst.rowsize();
    for (uint32_t y = 0; y < s.height; ++y) {
        const unsigned char* in = s[y];
        unsigned char* out = dst.begin() + y * stride;
        for (uint32_t x = 0; x < s.width; ++x, in += In, out += Out) fn(in, out);
        std::memset(out, 0, stride - uint64_t(s.width) * Out);
    }
    return true;
}

}  // namespace imageops_detail
}  // namespace libgr

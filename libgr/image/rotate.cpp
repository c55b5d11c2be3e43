#include "libgr/image/rotate.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {

int mixorientandrightrotatecount(int count, int orientation) {
    switch (orientation) {
        case 6:
            return (count + 1) & 3;
        case 3:
            return (count + 2) & 3;
        case 8:
            return (count + 3) & 3;
        default:
            return count;
    }
}

namespace {

// Source pixel (x, y) goes to column dx(x, y) of destination row dy(x, y).
struct turn_t {
    int count;
    uint32_t w, h;
    uint32_t row(uint32_t x, uint32_t y) const {
        return count == 1 ? w - 1 - x : count == 2 ? h - 1 - y : x;
    }
    uint32_t col(uint32_t x, uint32_t y) const {
        return count == 1 ? y : count == 2 ? w - 1 - x : h - 1 - y;
    }
};

// Walks the source in square tiles so that the column-wise writes of the
// quarter turns stay within the cache.
template <int B>
void turn_pixels(image2d_t& dst, const image2d_t& src, const turn_t& t, unsigned bytes) {
    const uint32_t tile = 64;
    unsigned char* base = dst.begin();
    uint64_t stride = dst.rowsize();
    for (uint32_t y0 = 0; y0 < t.h; y0 += tile) {
        uint32_t y1 = std::min(t.h, y0 + tile);
        for (uint32_t x0 = 0; x0 < t.w; x0 += tile) {
            uint32_t x1 = std::min(t.w, x0 + tile);
            for (uint32_t y = y0; y < y1; ++y) {
                const unsigned char* in = src[y] + uint64_t(x0) * bytes;
                for (uint32_t x = x0; x < x1; ++x, in += bytes) {
                    unsigned char* out =
                        base + t.row(x, y) * stride + uint64_t(t.col(x, y)) * bytes;
                    if (B)
                        std::memcpy(out, in, B);
                    else
                        std::memcpy(out, in, bytes);
                }
            }
        }
    }
}

}  // namespace

bool rotate(int count, image2d_t& dst, const image2d_t& src) {
    if (count == 0) {
        dst = src;
        return true;
    }
    if (count < 0 || count > 3) return false;
    if (!imageops_detail::has_pixels(src) || src.compressed) {
        return libutils::fail(std::cerr, "rotate(): image buffer too small.");
    }
    image2d_t s(src);
    bool swap = count != 2;
    if (!imageops_detail::make_image(dst, s.desc, s.store, swap ? s.height : s.width,
                                     swap ? s.width : s.height)) {
        return libutils::fail(std::cerr, "rotate(): allocate() fail.");
    }
    dst.palette = s.palette;
    unsigned bits = s.desc.getPixelBits();
    if (bits < 8 || bits % 8) return true;
    // The rows' padding bytes are not pixels: clear them.
    if (dst.rowsize() > dst.rowbyte())
        for (uint32_t y = 0; y < dst.height; ++y)
            std::memset(dst.begin() + y * dst.rowsize() + dst.rowbyte(), 0,
                        dst.rowsize() - dst.rowbyte());
    turn_t t{count, s.width, s.height};
    unsigned bytes = bits / 8;
    switch (bytes) {
        case 1:
            turn_pixels<1>(dst, s, t, bytes);
            break;
        case 2:
            turn_pixels<2>(dst, s, t, bytes);
            break;
        case 3:
            turn_pixels<3>(dst, s, t, bytes);
            break;
        case 4:
            turn_pixels<4>(dst, s, t, bytes);
            break;
        default:
            turn_pixels<0>(dst, s, t, bytes);
            break;
    }
    return true;
}

}  // namespace libgr

#include "libgr/gl/mipmap.h"

namespace libgr {

bool mipmap_halvable(const image2d_t& src) {
    unsigned n = src.desc.components();
    return !src.compressed && src.desc.type == IMAGE_TYPE_UINT && src.desc.bits == IMAGE_BITS_8 &&
           n >= 1 && n <= 4 && src.desc.getPixelBits() == 8 * n && src.width && src.height;
}

bool mipmap_halve(image2d_t& dst, const image2d_t& src) {
    if (!mipmap_halvable(src) || src.size() < src.bytesize()) return false;
    const unsigned n = src.desc.components();
    const uint32_t w = (src.width + 1) / 2, h = (src.height + 1) / 2;
    dst.clear();
    dst.desc = src.desc;
    dst.store = nullptr;
    dst.window = image_window2d_t();
    dst.compressed = false;
    dst.width = w;
    dst.height = h;
    if (!dst.allocate()) return false;
    for (uint32_t y = 0; y < h; ++y) {
        const unsigned char* r0 = src[2 * y];
        const unsigned char* r1 = src[2 * y + 1 < src.height ? 2 * y + 1 : 2 * y];
        unsigned char* out = dst[y];
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t a = 2 * x * n, b = (2 * x + 1 < src.width ? 2 * x + 1 : 2 * x) * n;
            for (unsigned c = 0; c < n; ++c)
                *out++ = (unsigned char)((r0[a + c] + r0[b + c] + r1[a + c] + r1[b + c] + 2) >> 2);
        }
    }
    return true;
}

}  // namespace libgr

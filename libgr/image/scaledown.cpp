#include "libgr/image/scaledown.h"

#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {

namespace {

// One destination row from two source rows of B-byte pixels. The sums fit in
// 16 bits, which lets the compiler work on many bytes at once.
template <int B>
void halve_row(unsigned char* out, const unsigned char* r0, const unsigned char* r1, uint32_t w) {
    for (uint32_t x = 0; x < w; ++x, out += B, r0 += 2 * B, r1 += 2 * B) {
        for (int c = 0; c < B; ++c)
            out[c] = (unsigned char)((uint32_t(r0[c]) + r0[B + c] + r1[c] + r1[B + c]) >> 2);
    }
}

// RGB rows, four pixels (12 output bytes) at a time: the vertical sums of 24
// bytes are one vector operation, the horizontal pairs a fixed shuffle.
void halve_row3(unsigned char* out, const unsigned char* r0, const unsigned char* r1, uint32_t w) {
    uint32_t x = 0;
    for (; x + 4 <= w; x += 4, out += 12, r0 += 24, r1 += 24) {
        uint16_t sum[24];
        for (int i = 0; i < 24; ++i) sum[i] = uint16_t(r0[i] + r1[i]);
        for (int p = 0; p < 4; ++p)
            for (int c = 0; c < 3; ++c)
                out[3 * p + c] = (unsigned char)((sum[6 * p + c] + sum[6 * p + 3 + c]) >> 2);
    }
    halve_row<3>(out, r0, r1, w - x);
}

}  // namespace

bool scaledown(image2d_t& dst, const image2d_t& src) {
    unsigned bytes;
    switch (src.desc.format) {
        case IMAGE_FORMAT_GRAYSCALE:
            bytes = 1;
            break;
        case IMAGE_FORMAT_RGB:
        case IMAGE_FORMAT_BGR:
            bytes = 3;
            break;
        case IMAGE_FORMAT_RGBA:
        case IMAGE_FORMAT_BGRA:
            bytes = 4;
            break;
        default:
            libutils::error();
            std::cerr << "scaledown(): " << src.desc.format << ": unsupported format." << std::endl;
            return false;
    }
    if (src.compressed) {
        libutils::error();
        std::cerr << "scaledown(): compressed format not supported." << std::endl;
        return false;
    }
    // The layouts above are taken as 8 bits per channel whatever the
    // description says; the rows must hold that many bytes.
    if (uint64_t(src.rowlength()) * bytes > src.rowsize() || !imageops_detail::has_pixels(src)) {
        libutils::error();
        std::cerr << "scaledown(): image buffer too small." << std::endl;
        return false;
    }
    image2d_t s(src);
    if (!imageops_detail::make_image(dst, s.desc, s.store, s.width / 2, s.height / 2)) {
        libutils::error();
        std::cerr << "scaledown(): allocate() fail." << std::endl;
        return false;
    }
    dst.palette = s.palette;
    uint64_t stride = dst.rowsize();
    uint64_t used = uint64_t(dst.width) * bytes;
    uint64_t skip = uint64_t(s.window.skip_pixels) * bytes;
    const unsigned char* base = s.begin() + uint64_t(s.window.skip_rows) * s.rowsize() + skip;
    uint64_t src_stride = s.rowsize();
    for (uint32_t y = 0; y < dst.height; ++y) {
        unsigned char* out = dst.begin() + y * stride;
        const unsigned char* r0 = base + 2 * uint64_t(y) * src_stride;
        const unsigned char* r1 = r0 + src_stride;
        switch (bytes) {
            case 1:
                halve_row<1>(out, r0, r1, dst.width);
                break;
            case 3:
                halve_row3(out, r0, r1, dst.width);
                break;
            default:
                halve_row<4>(out, r0, r1, dst.width);
                break;
        }
        std::memset(out + used, 0, stride - used);
    }
    return true;
}

}  // namespace libgr

#include "libgr/image/scaledown.h"

#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {

namespace {

// One destination row from two source rows of B-byte pixels.
template <int B>
void halve_row(unsigned char* out, const unsigned char* r0, const unsigned char* r1, uint32_t w) {
    for (uint32_t x = 0; x < w; ++x, out += B, r0 += 2 * B, r1 += 2 * B) {
        for (int c = 0; c < B; ++c)
            out[c] = (unsigned char)((uint32_t(r0[c]) + r0[B + c] + r1[c] + r1[B + c]) >> 2);
    }
}


#if defined(__x86_64__) || defined(__i386__)

// SSSE3: a byte shuffle puts the same channel of the two pixels of a pair
// side by side, and one multiply-add with ones sums each such pair into 16
// bits; the two rows' sums are added, divided by 4 and packed back to bytes.
// Every load and store stays within the rows; the last pixels go the scalar
// way.
template <int B>
__attribute__((target("ssse3"))) inline __m128i pair_sums(const unsigned char* a,
                                                          const unsigned char* b, __m128i pairs) {
    const __m128i ones = _mm_set1_epi8(1);
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    if (B != 1) {
        x = _mm_shuffle_epi8(x, pairs);
        y = _mm_shuffle_epi8(y, pairs);
    }
    __m128i s = _mm_add_epi16(_mm_maddubs_epi16(x, ones), _mm_maddubs_epi16(y, ones));
    return _mm_srli_epi16(s, 2);
}

template <int B>
__attribute__((target("ssse3"))) void halve_row_ssse3(unsigned char* out, const unsigned char* r0,
                                                      const unsigned char* r1, uint32_t w) {
    // Pairs per 16-byte load: 8 grey pixels, 2 RGB pixels (12 bytes), 2 RGBA pixels.
    const __m128i pairs =
        B == 3   ? _mm_setr_epi8(0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1)
        : B == 4 ? _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15)
                 : _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i compact = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, -1, -1, -1, -1);
    const uint32_t in_step = B == 3 ? 12 : 16;  // source bytes per half-iteration
    const uint32_t out_px = B == 1 ? 16 : 4;    // destination pixels per iteration
    const uint32_t margin = B == 3 ? 2 : 0;     // RGB loads and stores run 4 bytes further
    uint32_t x = 0;
    for (; x + out_px + margin <= w; x += out_px) {
        const unsigned char* a = r0 + uint64_t(x) * 2 * B;
        const unsigned char* b = r1 + uint64_t(x) * 2 * B;
        __m128i v = _mm_packus_epi16(pair_sums<B>(a, b, pairs),
                                     pair_sums<B>(a + in_step, b + in_step, pairs));
        if (B == 3) v = _mm_shuffle_epi8(v, compact);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + uint64_t(x) * B), v);
    }
    halve_row<B>(out + uint64_t(x) * B, r0 + uint64_t(x) * 2 * B, r1 + uint64_t(x) * 2 * B, w - x);
}

template <int B>
halve_row_t pick_halver() {
    return __builtin_cpu_supports("ssse3") ? halve_row_ssse3<B> : halve_row<B>;
}

#else

template <int B>
halve_row_t pick_halver() {
    return halve_row<B>;
}

#endif

}  // namespace

halve_row_t row_halver(unsigned bytes_per_pixel) {
    static const halve_row_t halvers[5] = {nullptr, pick_halver<1>(), nullptr, pick_halver<3>(),
                                           pick_halver<4>()};
    return bytes_per_pixel < 5 ? halvers[bytes_per_pixel] : nullptr;
}

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
            return libutils::fail(std::cerr, "scaledown(): ", src.desc.format,
                                  ": unsupported format.");
    }
    if (src.compressed) {
        return libutils::fail(std::cerr, "scaledown(): compressed format not supported.");
    }
    // The layouts above are taken as 8 bits per channel whatever the
    // description says; the rows must hold that many bytes.
    if (uint64_t(src.rowlength()) * bytes > src.rowsize() || !imageops_detail::has_pixels(src)) {
        return libutils::fail(std::cerr, "scaledown(): image buffer too small.");
    }
    image2d_t s(src);
    if (!imageops_detail::make_image(dst, s.desc, s.store, s.width / 2, s.height / 2)) {
        return libutils::fail(std::cerr, "scaledown(): allocate() fail.");
    }
    dst.palette = s.palette;
    uint64_t stride = dst.rowsize();
    uint64_t used = uint64_t(dst.width) * bytes;
    uint64_t skip = uint64_t(s.window.skip_pixels) * bytes;
    const unsigned char* base = s.begin() + uint64_t(s.window.skip_rows) * s.rowsize() + skip;
    uint64_t src_stride = s.rowsize();
    halve_row_t halve = row_halver(bytes);
    for (uint32_t y = 0; y < dst.height; ++y) {
        unsigned char* out = dst.begin() + y * stride;
        const unsigned char* r0 = base + 2 * uint64_t(y) * src_stride;
        halve(out, r0, r0 + src_stride, dst.width);
        std::memset(out + used, 0, stride - used);
    }
    return true;
}

}  // namespace libgr

#include "libgr/image/bayer.h"

#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {

namespace {

// The cell's sites numbered 0, 1 (row 2y) and 2, 3 (row 2y+1).
struct mosaic_t {
    const char* what;
    unsigned red, green1, green2, blue;
};

bool halve_mosaic(const mosaic_t& m, image2d_t& dst, const image2d_t& src) {
    if (src.desc.format != IMAGE_FORMAT_GRAYSCALE || src.desc.bits != IMAGE_BITS_8)
        return libutils::fail(std::cerr, m.what, ": ", src.desc.format, ": unsupported format.");
    if (src.compressed)
        return libutils::fail(std::cerr, m.what, ": compressed format not supported.");
    if (!imageops_detail::has_pixels(src))
        return libutils::fail(std::cerr, m.what, ": image buffer too small.");
    image2d_t s(src);  // keeps the pixels alive when dst is src
    if (!imageops_detail::make_image(dst,
                                     image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                                     s.store, s.width / 2, s.height / 2))
        return libutils::fail(std::cerr, m.what, ": allocate() fail.");
    uint64_t stride = dst.rowsize();
    for (uint32_t y = 0; y < dst.height; ++y) {
        const unsigned char* rows[2] = {s[2 * uint64_t(y)], s[2 * uint64_t(y) + 1]};
        unsigned char* out = dst.begin() + y * stride;
        for (uint32_t x = 0; x < dst.width; ++x, out += 3) {
            auto site = [&](unsigned i) { return unsigned(rows[i / 2][2 * uint64_t(x) + i % 2]); };
            out[0] = (unsigned char)site(m.red);
            out[1] = (unsigned char)((site(m.green1) + site(m.green2)) / 2);
            out[2] = (unsigned char)site(m.blue);
        }
        std::memset(out, 0, stride - uint64_t(dst.width) * 3);
    }
    return true;
}

}  // namespace

bool scaledownGRBG(image2d_t& dst, const image2d_t& src) {
    return halve_mosaic({"scaledownGRBG()", 1, 0, 3, 2}, dst, src);
}

bool scaledownGBRG(image2d_t& dst, const image2d_t& src) {
    return halve_mosaic({"scaledownGBRG()", 2, 0, 3, 1}, dst, src);
}

bool scaledownRGGB(image2d_t& dst, const image2d_t& src) {
    return halve_mosaic({"scaledownRGGB()", 0, 1, 2, 3}, dst, src);
}

bool scaledownBGGR(image2d_t& dst, const image2d_t& src) {
    return halve_mosaic({"scaledownBGGR()", 3, 1, 2, 0}, dst, src);
}

}  // namespace libgr

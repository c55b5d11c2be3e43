// Fill, add, luminance and the Bayer-mosaic halvers, each checked against
// pixels worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "libgr/image/bayer.h"
#include "libgr/image/colorops.h"
#include "support/testenv.h"

using namespace libgr;

namespace {

image2d_t picture(e_image_format_t format, uint32_t w, uint32_t h,
                  const std::vector<unsigned char>& rows) {
    image2d_t img;
    img.desc = image_desc_t(format, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.width = w;
    img.height = h;
    EXPECT_TRUE(img.allocate());
    uint64_t used = rows.size() / h;
    for (uint32_t y = 0; y < h; ++y) std::memcpy(img[y], rows.data() + y * used, used);
    return img;
}

// The visible pixel bytes, row after row.
std::vector<unsigned char> pixels(const image2d_t& img) {
    std::vector<unsigned char> out;
    for (uint32_t y = 0; y < img.height; ++y) out.insert(out.end(), img[y], img[y] + img.rowbyte());
    return out;
}

color3ub_t ub(unsigned char r, unsigned char g, unsigned char b) {
    color3ub_t c;
    c.r = r, c.g = g, c.b = b;
    return c;
}

color3b_t sb(signed char r, signed char g, signed char b) {
    color3b_t c;
    c.r = r, c.g = g, c.b = b;
    return c;
}

using op_t = std::function<bool(image2d_t&, const image2d_t&)>;

// A 4x2 mosaic: cell 0 holds sites 10 20 / 30 40, cell 1 holds 1 2 / 3 255.
const std::vector<unsigned char> k_mosaic = {10, 20, 1, 2, 30, 40, 3, 255};
// The same with an odd last column and row, which are dropped.
const std::vector<unsigned char> k_odd_mosaic = {10, 20, 99, 30, 40, 99, 99, 99, 99};

}  // namespace

TEST(ColourOps, PixelsAsWorkedOutByHand) {
    using namespace std::placeholders;
    struct Case {
        const char* what;
        op_t op;
        e_image_format_t in_format;
        uint32_t w, h;
        std::vector<unsigned char> in;
        e_image_format_t out_format;
        uint32_t out_w, out_h;
        std::vector<unsigned char> out;
    };
    const Case cases[] = {
        {"fill RGB", std::bind(fillcolor, _1, _2, ub(1, 2, 3)), IMAGE_FORMAT_RGB, 2, 1,
         {9, 9, 9, 8, 8, 8}, IMAGE_FORMAT_RGB, 2, 1, {1, 2, 3, 1, 2, 3}},
        {"fill BGR puts red last", std::bind(fillcolor, _1, _2, ub(1, 2, 3)), IMAGE_FORMAT_BGR, 1,
         1, {9, 9, 9}, IMAGE_FORMAT_BGR, 1, 1, {3, 2, 1}},
        {"fill RGBA keeps alpha", std::bind(fillcolor, _1, _2, ub(1, 2, 3)), IMAGE_FORMAT_RGBA, 1,
         2, {9, 9, 9, 77, 9, 9, 9, 0}, IMAGE_FORMAT_RGBA, 1, 2, {1, 2, 3, 77, 1, 2, 3, 0}},
        {"add clamps both ways", std::bind(addcolor, _1, _2, sb(10, -10, 100)), IMAGE_FORMAT_RGB,
         2, 1, {250, 5, 100, 0, 200, 200}, IMAGE_FORMAT_RGB, 2, 1, {255, 0, 200, 10, 190, 255}},
        {"add BGRA keeps alpha", std::bind(addcolor, _1, _2, sb(1, 2, -3)), IMAGE_FORMAT_BGRA, 1,
         1, {10, 20, 30, 40}, IMAGE_FORMAT_BGRA, 1, 1, {7, 22, 31, 40}},
        // 0.299 R + 0.587 G + 0.114 B, truncated: 255,0,0 gives 76; 0,255,0 gives 149;
        // 0,0,255 gives 29; grey 200 stays 200.
        {"luminance of RGB", [](image2d_t& d, const image2d_t& s) { return monochrome(d, s); },
         IMAGE_FORMAT_RGB, 4, 1, {255, 0, 0, 0, 255, 0, 0, 0, 255, 200, 200, 200},
         IMAGE_FORMAT_GRAYSCALE, 4, 1, {76, 149, 29, 200}},
        {"luminance of BGRA", [](image2d_t& d, const image2d_t& s) { return monochrome(d, s); },
         IMAGE_FORMAT_BGRA, 1, 1, {0, 0, 255, 9}, IMAGE_FORMAT_GRAYSCALE, 1, 1, {76}},
        {"luminance of grey is shared",
         [](image2d_t& d, const image2d_t& s) { return monochrome(d, s); },
         IMAGE_FORMAT_GRAYSCALE, 2, 1, {5, 6}, IMAGE_FORMAT_GRAYSCALE, 2, 1, {5, 6}},
        // Green is (a + b) / 2 truncated: (20 + 30) / 2 = 25, (2 + 3) / 2 = 2,
        // (10 + 40) / 2 = 25, (1 + 255) / 2 = 128.
        {"GRBG", scaledownGRBG, IMAGE_FORMAT_GRAYSCALE, 4, 2, k_mosaic, IMAGE_FORMAT_RGB, 2, 1,
         {20, 25, 30, 2, 128, 3}},
        {"GBRG", scaledownGBRG, IMAGE_FORMAT_GRAYSCALE, 4, 2, k_mosaic, IMAGE_FORMAT_RGB, 2, 1,
         {30, 25, 20, 3, 128, 2}},
        {"RGGB", scaledownRGGB, IMAGE_FORMAT_GRAYSCALE, 4, 2, k_mosaic, IMAGE_FORMAT_RGB, 2, 1,
         {10, 25, 40, 1, 2, 255}},
        {"BGGR", scaledownBGGR, IMAGE_FORMAT_GRAYSCALE, 4, 2, k_mosaic, IMAGE_FORMAT_RGB, 2, 1,
         {40, 25, 10, 255, 2, 1}},
        {"odd column and row dropped", scaledownRGGB, IMAGE_FORMAT_GRAYSCALE, 3, 3, k_odd_mosaic,
         IMAGE_FORMAT_RGB, 1, 1, {10, 25, 40}},
        {"one row gives nothing", scaledownBGGR, IMAGE_FORMAT_GRAYSCALE, 2, 1, {1, 2},
         IMAGE_FORMAT_RGB, 1, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        image2d_t src = picture(c.in_format, c.w, c.h, c.in), dst;
        std::vector<unsigned char> before = pixels(src);
        ASSERT_TRUE(c.op(dst, src));
        EXPECT_EQ(dst.desc.format, c.out_format);
        EXPECT_EQ(dst.width, c.out_w);
        EXPECT_EQ(dst.height, c.out_h);
        EXPECT_EQ(pixels(dst), c.out);
        EXPECT_EQ(pixels(src), before) << "the source is untouched";
        // The same in place.
        ASSERT_TRUE(c.op(src, src));
        EXPECT_EQ(pixels(src), c.out);
    }
}

TEST(ColourOps, OtherLayoutsAreRefusedByName) {
    struct Case {
        op_t op;
        e_image_format_t format;
        const char* message;
    };
    const Case cases[] = {
        {[](image2d_t& d, const image2d_t& s) { return fillcolor(d, s, color3ub_t()); },
         IMAGE_FORMAT_GRAYSCALE, "fillcolor(): IMAGE_FORMAT_GRAYSCALE: unsupported format.\n"},
        {[](image2d_t& d, const image2d_t& s) { return addcolor(d, s, color3b_t()); },
         IMAGE_FORMAT_INDEX, "addcolor(): IMAGE_FORMAT_INDEX: unsupported format.\n"},
        {[](image2d_t& d, const image2d_t& s) { return monochrome(d, s); }, IMAGE_FORMAT_INDEX,
         "monochrome(): IMAGE_FORMAT_INDEX: unsupported format.\n"},
        {scaledownGRBG, IMAGE_FORMAT_RGB, "scaledownGRBG(): IMAGE_FORMAT_RGB: unsupported format.\n"},
    };
    for (const Case& c : cases) {
        image2d_t src = picture(c.format, 2, 2, std::vector<unsigned char>(8, 0)), dst;
        EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(c.op(dst, src)); }), c.message);
    }
}

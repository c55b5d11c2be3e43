// Quarter turns, halving and layout conversions, checked pixel by pixel
// against references computed here.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "libgr/image/imageops.h"
#include "libgr/image/rotate.h"
#include "libgr/image/scaledown.h"
#include "support/testenv.h"

using namespace libgr;

namespace {

image_store_t g_packed = {false, 1};

image2d_t make(e_image_format_t format, uint32_t w, uint32_t h, unsigned seed = 1,
               image_store_t* store = nullptr) {
    image2d_t img;
    img.desc = image_desc_t(format, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.store = store;
    img.width = w;
    img.height = h;
    EXPECT_TRUE(img.allocate());
    std::mt19937 rng(seed);
    for (uint64_t i = 0; i < img.size(); ++i) img.begin()[i] = (unsigned char)rng();
    return img;
}

unsigned bpp(const image2d_t& img) {
    return img.desc.getPixelBits() / 8;
}

// Pixel (X, Yt) as the picture is seen: Yt counts rows from the top.
const unsigned char* seen(const image2d_t& img, uint32_t x, uint32_t yt) {
    return img[img.height - 1 - yt] + uint64_t(x) * bpp(img);
}

bool padding_is_zero(const image2d_t& img) {
    for (uint32_t y = 0; y < img.height; ++y)
        for (uint64_t i = img.rowbyte(); i < img.rowsize(); ++i)
            if (img[y][i] != 0) return false;
    return true;
}

}  // namespace

TEST(Rotate, QuarterTurnsMoveEveryPixelAsSeen) {
    for (e_image_format_t f : {IMAGE_FORMAT_GRAYSCALE, IMAGE_FORMAT_GRAYSCALE_ALPHA,
                               IMAGE_FORMAT_RGB, IMAGE_FORMAT_RGBA}) {
        for (uint32_t w : {1u, 3u, 70u}) {
            for (uint32_t h : {1u, 2u, 67u}) {
                image2d_t src = make(f, w, h, w * 100 + h);
                unsigned b = bpp(src);
                for (int count = 1; count <= 3; ++count) {
                    image2d_t dst;
                    ASSERT_TRUE(rotate(count, dst, src));
                    ASSERT_EQ(dst.width, count == 2 ? w : h);
                    ASSERT_EQ(dst.height, count == 2 ? h : w);
                    EXPECT_TRUE(dst.desc == src.desc);
                    EXPECT_TRUE(padding_is_zero(dst));
                    for (uint32_t yt = 0; yt < dst.height; ++yt) {
                        for (uint32_t x = 0; x < dst.width; ++x) {
                            // Clockwise: the left column becomes the top row,
                            // read from the bottom up.
                            const unsigned char* from = count == 1 ? seen(src, yt, h - 1 - x)
                                                        : count == 2
                                                            ? seen(src, w - 1 - x, h - 1 - yt)
                                                            : seen(src, w - 1 - yt, x);
                            ASSERT_EQ(std::memcmp(seen(dst, x, yt), from, b), 0)
                                << f << " " << w << "x" << h << " turn " << count << " at " << x
                                << "," << yt;
                        }
                    }
                }
            }
        }
    }
}

TEST(Rotate, ThreeByTwoTurnedOnceHasTheRightColumnAtTheBottomBottomPixelFirst) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 3, 2);
    image2d_t dst;
    ASSERT_TRUE(rotate(1, dst, src));
    ASSERT_EQ(dst.width, 2u);
    ASSERT_EQ(dst.height, 3u);
    // Bottom row of the result: source pixels (2, 0) then (2, 1), rows counted from the bottom.
    EXPECT_EQ(std::memcmp(dst[0], src[0] + 6, 3), 0);
    EXPECT_EQ(std::memcmp(dst[0] + 3, src[1] + 6, 3), 0);
}

TEST(Rotate, FourTurnsOrTwoHalfTurnsRestoreThePicture) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 13, 7, 5, &g_packed);
    image2d_t a = src;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(rotate(1, a, a));
    image2d_t b;
    ASSERT_TRUE(rotate(2, b, src));
    ASSERT_TRUE(rotate(2, b, b));
    for (const image2d_t* r : {&a, &b}) {
        ASSERT_EQ(r->width, 13u);
        for (uint32_t y = 0; y < 7; ++y) EXPECT_EQ(std::memcmp((*r)[y], src[y], 39), 0);
    }
}

TEST(Rotate, ZeroSharesAndMoreThanThreeIsRefused) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 4, 4), dst;
    EXPECT_TRUE(rotate(0, dst, src));
    EXPECT_EQ(dst.begin(), src.begin());
    EXPECT_FALSE(rotate(4, dst, src));
    EXPECT_FALSE(rotate(-1, dst, src));
}

TEST(Rotate, TurnsAWindowOfAPicture) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 20, 10), win, turned, copied, turned_copy;
    ASSERT_TRUE(makewindow(win, src, 3, 2, 7, 5));
    ASSERT_TRUE(rotate(3, turned, win));
    ASSERT_TRUE(copy(copied, win));
    ASSERT_TRUE(rotate(3, turned_copy, copied));
    ASSERT_EQ(turned.width, 5u);
    EXPECT_EQ(std::memcmp(turned.begin(), turned_copy.begin(), turned.size()), 0);
}

TEST(MixOrient, AddsTheExifTurnToTheUsersTurn) {
    struct case_t {
        int count, orientation, result;
    } cases[] = {{0, 8, 3}, {3, 6, 0}, {2, 1, 2}, {1, 3, 3}, {3, 3, 1}, {2, 6, 3},
                 {0, 6, 1}, {1, 8, 0}, {1, 0, 1}, {2, 5, 2}, {3, 7, 3}, {0, 2, 0}};
    for (const case_t& c : cases)
        EXPECT_EQ(mixorientandrightrotatecount(c.count, c.orientation), c.result)
            << c.count << " " << c.orientation;
}

TEST(Scaledown, EveryChannelIsTheTruncatedMeanOfATwoByTwoCell) {
    for (e_image_format_t f : {IMAGE_FORMAT_GRAYSCALE, IMAGE_FORMAT_RGB, IMAGE_FORMAT_BGR,
                               IMAGE_FORMAT_RGBA, IMAGE_FORMAT_BGRA}) {
        for (uint32_t w : {1u, 2u, 5u, 7u, 64u, 131u}) {
            for (uint32_t h : {1u, 3u, 8u}) {
                image2d_t src = make(f, w, h, w + h);
                image2d_t dst;
                ASSERT_TRUE(scaledown(dst, src));
                ASSERT_EQ(dst.width, w / 2);
                ASSERT_EQ(dst.height, h / 2);
                EXPECT_TRUE(padding_is_zero(dst));
                unsigned b = bpp(src);
                for (uint32_t y = 0; y < dst.height; ++y)
                    for (uint32_t x = 0; x < dst.width; ++x)
                        for (unsigned c = 0; c < b; ++c) {
                            unsigned sum =
                                src[2 * y][2 * x * b + c] + src[2 * y][(2 * x + 1) * b + c] +
                                src[2 * y + 1][2 * x * b + c] + src[2 * y + 1][(2 * x + 1) * b + c];
                            ASSERT_EQ(dst[y][x * b + c], sum / 4)
                                << f << " " << w << "x" << h << " at " << x << "," << y;
                        }
            }
        }
    }
}

TEST(Scaledown, FiveByThreeGivesTwoByOne) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 5, 3);
    const unsigned char rows[2][6] = {{10, 20, 30, 11, 21, 31}, {12, 22, 32, 13, 23, 34}};
    std::memcpy(src[0], rows[0], 6);
    std::memcpy(src[1], rows[1], 6);
    image2d_t dst;
    ASSERT_TRUE(scaledown(dst, src));
    ASSERT_EQ(dst.width, 2u);
    ASSERT_EQ(dst.height, 1u);
    EXPECT_EQ(dst[0][0], 11);  // 46 / 4
    EXPECT_EQ(dst[0][1], 21);  // 86 / 4
    EXPECT_EQ(dst[0][2], 31);  // 127 / 4
}

TEST(Scaledown, AveragesAlphaToo) {
    image2d_t src = make(IMAGE_FORMAT_RGBA, 2, 2);
    src[0][3] = src[0][7] = 255;
    src[1][3] = src[1][7] = 0;
    image2d_t dst;
    ASSERT_TRUE(scaledown(dst, src));
    EXPECT_EQ(dst[0][3], 127);
}

TEST(Scaledown, HalvesAWindowAndCanWorkInPlace) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 40, 30), win, copied, a, b;
    ASSERT_TRUE(makewindow(win, src, 5, 3, 21, 17));
    ASSERT_TRUE(copy(copied, win));
    ASSERT_TRUE(scaledown(a, win));
    ASSERT_TRUE(scaledown(b, copied));
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.begin(), b.begin(), a.size()), 0);
    ASSERT_TRUE(scaledown(copied, copied));
    EXPECT_EQ(std::memcmp(copied.begin(), b.begin(), b.size()), 0);
}

TEST(Scaledown, RefusesOtherFormatsByName) {
    image2d_t src = make(IMAGE_FORMAT_INDEX, 4, 4), dst;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(scaledown(dst, src)); }),
              "scaledown(): IMAGE_FORMAT_INDEX: unsupported format.\n");
}

TEST(Scaledown, RefusesAPictureWithoutItsPixels) {
    image2d_t src, dst;
    src.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    src.width = src.height = 100;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(scaledown(dst, src)); }),
              "scaledown(): image buffer too small.\n");
}

TEST(FlipCopy, WriteZeroPaddingAfterThePixelsOfEveryRow) {
    // The source is a window, so its stored rows are longer than its pixels.
    image2d_t src = make(IMAGE_FORMAT_RGB, 9, 6), win;
    ASSERT_TRUE(makewindow(win, src, 2, 1, 5, 4));
    image2d_t flipped, copied;
    ASSERT_TRUE(flip(flipped, win));
    ASSERT_TRUE(copy(copied, win));
    for (const image2d_t* d : {&flipped, &copied}) {
        EXPECT_EQ(d->width, 5u);
        EXPECT_EQ(d->height, 4u);
        EXPECT_EQ(d->window.row_length, 0u);
        EXPECT_EQ(d->rowsize(), 16u);
        EXPECT_TRUE(padding_is_zero(*d));
    }
    for (uint32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(std::memcmp(copied[y], win[y], 15), 0);
        EXPECT_EQ(std::memcmp(flipped[y], win[3 - y], 15), 0);
    }
    src.compressed = true;
    EXPECT_FALSE(flip(flipped, src));
    EXPECT_FALSE(copy(copied, src));
}

TEST(FlipCopy, FlipTwiceInPlaceRestores) {
    image2d_t src = make(IMAGE_FORMAT_GRAYSCALE, 7, 5, 3, &g_packed), a = src;
    ASSERT_TRUE(flip(a, a));
    ASSERT_TRUE(flip(a, a));
    EXPECT_EQ(std::memcmp(a.begin(), src.begin(), 35), 0);
}

TEST(Convert, SwapRedAndBlueKeepingAlpha) {
    struct case_t {
        e_image_format_t from, to;
        bool rgb2bgr_direction;
    } cases[] = {{IMAGE_FORMAT_BGR, IMAGE_FORMAT_RGB, false},
                 {IMAGE_FORMAT_BGRA, IMAGE_FORMAT_RGBA, false},
                 {IMAGE_FORMAT_RGB, IMAGE_FORMAT_BGR, true},
                 {IMAGE_FORMAT_RGBA, IMAGE_FORMAT_BGRA, true}};
    for (const case_t& c : cases) {
        image2d_t src = make(c.from, 3, 2), dst;
        ASSERT_TRUE(c.rgb2bgr_direction ? rgb2bgr(dst, src) : bgr2rgb(dst, src));
        EXPECT_EQ(dst.desc.format, c.to);
        EXPECT_TRUE(padding_is_zero(dst));
        unsigned b = bpp(src);
        for (uint32_t y = 0; y < 2; ++y)
            for (uint32_t x = 0; x < 3; ++x) {
                const unsigned char* s = src[y] + x * b;
                const unsigned char* d = dst[y] + x * b;
                EXPECT_EQ(d[0], s[2]);
                EXPECT_EQ(d[1], s[1]);
                EXPECT_EQ(d[2], s[0]);
                if (b == 4) {
                    EXPECT_EQ(d[3], s[3]);
                }
            }
        if (c.from == IMAGE_FORMAT_RGB) {
            ASSERT_NE(dst.store, nullptr);
            EXPECT_EQ(dst.store->alignment, 4u);
        }
    }
}

TEST(Convert, OtherLayoutsAreShared) {
    image2d_t grey = make(IMAGE_FORMAT_GRAYSCALE, 3, 3), dst;
    EXPECT_TRUE(bgr2rgb(dst, grey));
    EXPECT_EQ(dst.begin(), grey.begin());
    image2d_t rgb = make(IMAGE_FORMAT_RGB, 3, 3);
    EXPECT_TRUE(bgr2rgb(dst, rgb));
    EXPECT_EQ(dst.begin(), rgb.begin());
    EXPECT_TRUE(grayscale2rgb(dst, rgb));
    EXPECT_EQ(dst.begin(), rgb.begin());
    EXPECT_TRUE(index2rgb(dst, rgb));
    EXPECT_EQ(dst.begin(), rgb.begin());
    image2d_t rgba = make(IMAGE_FORMAT_RGBA, 3, 3);
    EXPECT_TRUE(rgb2rgba(dst, rgba));
    EXPECT_EQ(dst.begin(), rgba.begin());
    EXPECT_FALSE(rgb2rgba(dst, grey));
    EXPECT_EQ(dst.begin(), grey.begin());
}

TEST(Convert, RgbToRgbaAddsOpaqueAlpha) {
    image2d_t src = make(IMAGE_FORMAT_RGB, 5, 3, 9, &g_packed), dst;
    ASSERT_TRUE(rgb2rgba(dst, src));
    EXPECT_EQ(dst.desc.format, IMAGE_FORMAT_RGBA);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(std::memcmp(dst[y] + 4 * x, src[y] + 3 * x, 3), 0);
            EXPECT_EQ(dst[y][4 * x + 3], 255);
        }
    image2d_t back;
    ASSERT_TRUE(rgba2rgb(back, dst));
    EXPECT_EQ(std::memcmp(back[2], src[2], 15), 0);
}

TEST(Convert, GreyOfOneFourAndEightBitsBecomesRgb) {
    struct case_t {
        e_image_bits_t bits;
        unsigned char byte;
        unsigned char first, second;
    } cases[] = {{IMAGE_BITS_1, 0x80, 255, 0},
                 {IMAGE_BITS_1, 0x40, 0, 255},
                 {IMAGE_BITS_4, 0xF1, 255, 17},
                 {IMAGE_BITS_4, 0x0A, 0, 170},
                 {IMAGE_BITS_8, 0x7B, 0x7B, 0}};
    for (const case_t& c : cases) {
        image2d_t src;
        src.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, c.bits);
        src.width = 2;
        src.height = 1;
        ASSERT_TRUE(src.allocate());
        src[0][0] = c.byte;
        image2d_t dst;
        ASSERT_TRUE(grayscale2rgb(dst, src));
        EXPECT_TRUE(dst.desc == image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8));
        const unsigned char want[6] = {c.first, c.first, c.first, c.second, c.second, c.second};
        EXPECT_EQ(std::memcmp(dst[0], want, 6), 0) << c.bits << " " << int(c.byte);
    }
    image2d_t two;
    two.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_2);
    two.width = two.height = 1;
    ASSERT_TRUE(two.allocate());
    image2d_t dst;
    EXPECT_FALSE(grayscale2rgb(dst, two));
}

TEST(Convert, IndexesLookUpTheHighBytesOfThePaletteAndPastItAreBlack) {
    image2d_t src;
    src.desc = image_desc_t(IMAGE_FORMAT_INDEX, IMAGE_TYPE_UINT, IMAGE_BITS_4);
    src.width = 4;
    src.height = 1;
    ASSERT_TRUE(src.allocate());
    src[0][0] = 0x10;  // indexes 1, 0
    src[0][1] = 0x2F;  // indexes 2, 15 (past the palette)
    ASSERT_TRUE(src.palette.resize(3));
    for (int i = 0; i < 3; ++i) {
        *src.palette.red[i] = (unsigned short)(0x1100 * (i + 1) + 0xFF);
        *src.palette.green[i] = (unsigned short)(0x2000 + i * 0x100);
        *src.palette.blue[i] = (unsigned short)(0xF000 - i * 0x1000);
    }
    image2d_t dst;
    ASSERT_TRUE(index2rgb(dst, src));
    const unsigned char want[12] = {0x22, 0x21, 0xE0, 0x11, 0x20, 0xF0, 0x33, 0x22, 0xD0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(dst[0], want, 12), 0);
}

TEST(Convert, OneBitGreyThroughTwoPaletteColours) {
    image2d_t src;
    src.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_1);
    src.width = 3;
    src.height = 1;
    ASSERT_TRUE(src.allocate());
    src[0][0] = 0xA0;  // 1, 0, 1
    image2d_t dst;
    ASSERT_TRUE(grayscale(dst, src));
    const unsigned char bw[9] = {255, 255, 255, 0, 0, 0, 255, 255, 255};
    EXPECT_EQ(std::memcmp(dst[0], bw, 9), 0);
    ASSERT_TRUE(src.palette.resize(2));
    *src.palette.red[0] = 0x1000;
    *src.palette.green[0] = 0x2000;
    *src.palette.blue[0] = 0x3000;
    *src.palette.red[1] = 0xA000;
    *src.palette.green[1] = 0xB000;
    *src.palette.blue[1] = 0xC0FF;
    ASSERT_TRUE(grayscale(dst, src));
    const unsigned char pal[9] = {0xA0, 0xB0, 0xC0, 0x10, 0x20, 0x30, 0xA0, 0xB0, 0xC0};
    EXPECT_EQ(std::memcmp(dst[0], pal, 9), 0);
}

TEST(Convert, GrayscaleNamesWhatItRefuses) {
    struct case_t {
        image_desc_t desc;
        const char* message;
    } cases[] = {
        {{IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_1},
         "IMAGE_FORMAT_RGB: image format is not RGB.\n"},
        {{IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_SINT, IMAGE_BITS_1},
         "IMAGE_TYPE_SINT: image type is not UINT.\n"},
        {{IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8},
         "IMAGE_BITS_8: image bits is not 8.\n"},
    };
    for (const case_t& c : cases) {
        image2d_t src, dst;
        src.desc = c.desc;
        EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(grayscale(dst, src)); }), c.message);
    }
}

// The picture model: printed names, pixel sizes, row geometry, windows.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "libgr/image/image.h"
#include "libgr/image/imageaccess.h"

using namespace libgr;

namespace {
template <class E>
std::string printed(E v) {
    std::ostringstream os;
    os << v;
    return os.str();
}
}  // namespace

TEST(ImageDesc, EnumerationsPrintTheirNamesAndUnknownValues) {
    const char* formats[] = {"IMAGE_FORMAT_GRAYSCALE", "IMAGE_FORMAT_GRAYSCALE_ALPHA",
                             "IMAGE_FORMAT_INTENSITY", "IMAGE_FORMAT_RED",
                             "IMAGE_FORMAT_GREEN",     "IMAGE_FORMAT_BLUE",
                             "IMAGE_FORMAT_ALPHA",     "IMAGE_FORMAT_RG",
                             "IMAGE_FORMAT_RGB",       "IMAGE_FORMAT_RGBA",
                             "IMAGE_FORMAT_BGR",       "IMAGE_FORMAT_BGRA",
                             "IMAGE_FORMAT_DEPTH",     "IMAGE_FORMAT_DEPTH_STENCIL",
                             "IMAGE_FORMAT_YCbCr",     "IMAGE_FORMAT_YCbCrA",
                             "IMAGE_FORMAT_YCbCr422",  "IMAGE_FORMAT_INDEX",
                             "IMAGE_FORMAT_MAX"};
    for (int i = 0; i <= IMAGE_FORMAT_MAX; ++i) EXPECT_EQ(printed(e_image_format_t(i)), formats[i]);
    const char* types[] = {"IMAGE_TYPE_SINT", "IMAGE_TYPE_UINT", "IMAGE_TYPE_FLOAT",
                           "IMAGE_TYPE_MAX"};
    for (int i = 0; i <= IMAGE_TYPE_MAX; ++i) EXPECT_EQ(printed(e_image_type_t(i)), types[i]);
    const char* bits[] = {"IMAGE_BITS_1",           "IMAGE_BITS_2",      "IMAGE_BITS_4",
                          "IMAGE_BITS_8",           "IMAGE_BITS_12",     "IMAGE_BITS_16",
                          "IMAGE_BITS_24",          "IMAGE_BITS_32",     "IMAGE_BITS_64",
                          "IMAGE_BITS_R3G3B2",      "IMAGE_BITS_R5G6B5", "IMAGE_BITS_R5G5B5A1",
                          "IMAGE_BITS_R10G10B10A2", "IMAGE_BITS_L6A2",   "IMAGE_BITS_L12A4",
                          "IMAGE_BITS_D24S8",       "IMAGE_BITS_MAX"};
    for (int i = 0; i <= IMAGE_BITS_MAX; ++i) EXPECT_EQ(printed(e_image_bits_t(i)), bits[i]);
    EXPECT_EQ(printed(e_image_type_t(7)), "unknown: 7");
    EXPECT_EQ(printed(e_image_format_t(19)), "unknown: 19");
    EXPECT_EQ(printed(e_image_bits_t(-1)), "unknown: -1");
}

TEST(ImageDesc, PixelBitsComeFromComponentsOrThePackedSize) {
    struct case_t {
        image_desc_t desc;
        unsigned bits;
    } cases[] = {
        {{IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8}, 24},
        {{IMAGE_FORMAT_GRAYSCALE_ALPHA, IMAGE_TYPE_UINT, IMAGE_BITS_16}, 32},
        {{IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_R5G6B5}, 16},
        {{IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_R5G6B5}, 16},
        {{IMAGE_FORMAT_RGBA, IMAGE_TYPE_FLOAT, IMAGE_BITS_32}, 128},
        {{IMAGE_FORMAT_INDEX, IMAGE_TYPE_UINT, IMAGE_BITS_4}, 4},
        {{IMAGE_FORMAT_YCbCr422, IMAGE_TYPE_UINT, IMAGE_BITS_8}, 16},
        {{IMAGE_FORMAT_RGBA, IMAGE_TYPE_UINT, IMAGE_BITS_R10G10B10A2}, 32},
        {{IMAGE_FORMAT_MAX, IMAGE_TYPE_UINT, IMAGE_BITS_8}, 0},
    };
    for (const case_t& c : cases)
        EXPECT_EQ(c.desc.getPixelBits(), c.bits) << c.desc.format << c.desc.bits;
    EXPECT_TRUE(image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8) ==
                image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8));
    EXPECT_FALSE(image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8) ==
                 image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8));
}

TEST(Image2d, RowGeometryFollowsTheStoreAlignment) {
    image_store_t one = {false, 1}, none = {false, 0}, eight = {false, 8};
    struct case_t {
        e_image_format_t format;
        e_image_bits_t bits;
        uint32_t width, row_length;
        image_store_t* store;
        uint64_t rowsize, rowbyte;
    } cases[] = {
        {IMAGE_FORMAT_RGB, IMAGE_BITS_8, 3, 0, nullptr, 12, 9},
        {IMAGE_FORMAT_RGB, IMAGE_BITS_8, 3, 0, &one, 9, 9},
        {IMAGE_FORMAT_RGB, IMAGE_BITS_8, 3, 0, &none, 12, 9},
        {IMAGE_FORMAT_RGB, IMAGE_BITS_8, 3, 0, &eight, 16, 9},
        {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1, 10, 0, nullptr, 4, 2},
        {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1, 10, 0, &one, 2, 2},
        {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8, 0, 0, nullptr, 0, 0},
        {IMAGE_FORMAT_RGBA, IMAGE_BITS_8, 5, 9, nullptr, 36, 20},  // a window of a wider picture
        {IMAGE_FORMAT_INDEX, IMAGE_BITS_4, 3, 0, &one, 2, 2},
    };
    for (const case_t& c : cases) {
        image2d_t img;
        img.desc = image_desc_t(c.format, IMAGE_TYPE_UINT, c.bits);
        img.width = c.width;
        img.window.row_length = c.row_length;
        img.store = c.store;
        EXPECT_EQ(img.rowsize(), c.rowsize) << c.format << " " << c.width;
        EXPECT_EQ(img.rowbyte(), c.rowbyte) << c.format << " " << c.width;
    }
}

TEST(Image2d, AllocateSizesForSkippedRowsAndRowsIndexFromTheBottom) {
    image2d_t img;
    img.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.width = 3;
    img.height = 5;
    img.window.skip_rows = 2;
    img.window.skip_pixels = 1;
    img.window.row_length = 4;
    ASSERT_TRUE(img.allocate());
    EXPECT_EQ(img.size(), 7u * 12);
    EXPECT_EQ(img[0], img.begin() + 2 * 12 + 3);
    EXPECT_EQ(img[4], img.begin() + 6 * 12 + 3);
    // Copies share; allocate() detaches.
    image2d_t copy = img;
    EXPECT_EQ(copy.begin(), img.begin());
    img.begin()[0] = 9;
    ASSERT_TRUE(copy.allocate());
    EXPECT_NE(copy.begin(), img.begin());
    EXPECT_EQ(copy.begin()[0], 9);
    copy.begin()[0] = 1;
    EXPECT_EQ(img.begin()[0], 9);
}

TEST(Image2d, ClearKeepsTheDescription) {
    image2d_t img;
    image_store_t store;
    img.desc = image_desc_t(IMAGE_FORMAT_INDEX, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.store = &store;
    img.width = img.height = 4;
    img.window.skip_rows = 1;
    ASSERT_TRUE(img.allocate());
    ASSERT_TRUE(img.palette.resize(16));
    img.clear();
    EXPECT_FALSE(img.is_allocated());
    EXPECT_EQ(img.width, 0u);
    EXPECT_EQ(img.height, 0u);
    EXPECT_EQ(img.palette.size(), 0u);
    EXPECT_EQ(img.desc.format, IMAGE_FORMAT_INDEX);
    EXPECT_EQ(img.store, &store);
    EXPECT_EQ(img.window.skip_rows, 1u);
}

TEST(Palette, ResizeSetsEveryChannelAndCopiesShare) {
    palette_t p;
    EXPECT_FALSE(p.resize(0));
    ASSERT_TRUE(p.resize(3));
    EXPECT_EQ(p.size(), 3u);
    EXPECT_EQ(p.red.size(), 3u);
    EXPECT_EQ(p.blue.size(), 3u);
    *p.green[2] = 0xABCD;
    palette_t q = p;
    EXPECT_EQ(*q.green[2], 0xABCD);
    EXPECT_EQ(q.green.begin(), p.green.begin());
    p.clear();
    EXPECT_EQ(p.size(), 0u);
    EXPECT_EQ(*q.green[2], 0xABCD);
}

TEST(Image1d, IndexesBytesAfterTheSkippedPixels) {
    image1d_t img;
    ASSERT_TRUE(img.resize(16));
    img.window.skip_pixels = 5;
    EXPECT_EQ(img[2], img.begin() + 7);
}

TEST(MakeWindow, ClipsTheRectangleToTheSource) {
    image2d_t src;
    src.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    src.width = 100;
    src.height = 80;
    ASSERT_TRUE(src.allocate());
    ASSERT_TRUE(src.palette.resize(2));
    struct case_t {
        int32_t x, y;
        uint32_t w, h;
        uint32_t width, height, skip_pixels, skip_rows;
    } cases[] = {
        {90, 70, 20, 20, 10, 10, 90, 70}, {0, 0, 100, 80, 100, 80, 0, 0},
        {10, 20, 5, 6, 5, 6, 10, 20},     {100, 0, 5, 5, 0, 5, 100, 0},
        {150, 90, 5, 5, 0, 0, 100, 80},   {-10, -5, 20, 20, 10, 15, 0, 0},
        {-50, 0, 20, 20, 0, 20, 0, 0},    {0, 79, 4000000000u, 1, 100, 1, 0, 79},
    };
    for (const case_t& c : cases) {
        image2d_t win;
        ASSERT_TRUE(makewindow(win, src, c.x, c.y, c.w, c.h));
        EXPECT_EQ(win.width, c.width) << c.x << "," << c.y;
        EXPECT_EQ(win.height, c.height) << c.x << "," << c.y;
        EXPECT_EQ(win.window.skip_pixels, c.skip_pixels) << c.x << "," << c.y;
        EXPECT_EQ(win.window.skip_rows, c.skip_rows) << c.x << "," << c.y;
        EXPECT_EQ(win.window.row_length, 100u);
        EXPECT_EQ(win.begin(), src.begin());
        EXPECT_EQ(win.palette.red.begin(), src.palette.red.begin());
    }
    // A window of a window addresses the same pixels.
    image2d_t outer, inner;
    ASSERT_TRUE(makewindow(outer, src, 10, 20, 50, 40));
    ASSERT_TRUE(makewindow(inner, outer, 5, 6, 100, 100));
    EXPECT_EQ(inner.width, 45u);
    EXPECT_EQ(inner.height, 34u);
    EXPECT_EQ(inner[0], src[26] + 15 * 3);
    src.compressed = true;
    EXPECT_FALSE(makewindow(inner, src, 0, 0, 1, 1));
}

TEST(ImageAccess, RowsArePaddedToFourBytesFromTheBufferStart) {
    image2d_t img;
    img.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.width = 3;
    img.height = 2;
    ASSERT_TRUE(img.allocate());
    img[1][3] = 42;  // red of the second pixel of the top row
    image2d_reader_t<color3ub_t> reader;
    ASSERT_TRUE(reader.setimage(img));
    EXPECT_EQ(reader.scanline(), 12u);
    EXPECT_EQ(reader[1][1].r, 42);
    image2d_editor_t<unsigned char> editor;
    ASSERT_TRUE(editor.setimage(img));
    editor[0][11] = 5;
    EXPECT_EQ(img.begin()[11], 5);
    img.compressed = true;
    EXPECT_FALSE(editor.setimage(img));
    EXPECT_EQ(editor.width, 0u);
}

// PNG files: every colour type and bit depth written through libpng and read
// back by ImageMagick and by the reader; an interlaced file from ImageMagick;
// a short palette padded to a power of two; the version check.
#include <gtest/gtest.h>

#include <png.h>

#include <random>

#include "decoded.h"
#include "libgr/imagefile/pngfile.h"
#include "support/testenv.h"

using namespace libgr;

namespace {

// A 13 x 6 picture of seeded noise (odd width: sub-byte rows end mid-byte).
image2d_t noise(e_image_format_t format, e_image_bits_t bits, uint64_t colours) {
    image2d_t image;
    image.desc = image_desc_t(format, IMAGE_TYPE_UINT, bits);
    image.width = 13;
    image.height = 6;
    EXPECT_TRUE(image.allocate());
    std::mt19937 random(unsigned(format * 100 + bits));
    for (unsigned char* p = image.begin(); p != image.end(); ++p) *p = (unsigned char)random();
    if (format == IMAGE_FORMAT_INDEX) {
        image.palette.resize(colours);
        for (uint64_t i = 0; i < colours; ++i) {
            *image.palette.red[i] = (unsigned short)(random() & 255) * 257;
            *image.palette.green[i] = (unsigned short)(random() & 255) * 257;
            *image.palette.blue[i] = (unsigned short)(random() & 255) * 257;
        }
    }
    return image;
}

}  // namespace

TEST(PngFile, EveryColourTypeAndDepthRoundTrips) {
    SKIP_WITHOUT_PROGRAM("convert");
    ASSERT_TRUE(check_png_version());
    std::string dir = testenv::scratch_dir();
    struct row_t {
        e_image_format_t format;
        std::vector<e_image_bits_t> bits;
    } rows[] = {
        {IMAGE_FORMAT_GRAYSCALE, {IMAGE_BITS_1, IMAGE_BITS_2, IMAGE_BITS_4, IMAGE_BITS_8, IMAGE_BITS_16}},
        {IMAGE_FORMAT_RGB, {IMAGE_BITS_8, IMAGE_BITS_16}},
        {IMAGE_FORMAT_INDEX, {IMAGE_BITS_1, IMAGE_BITS_2, IMAGE_BITS_4, IMAGE_BITS_8}},
        {IMAGE_FORMAT_GRAYSCALE_ALPHA, {IMAGE_BITS_8, IMAGE_BITS_16}},
        {IMAGE_FORMAT_RGBA, {IMAGE_BITS_8, IMAGE_BITS_16}},
    };
    for (const row_t& r : rows) {
        for (e_image_bits_t bits : r.bits) {
            std::ostringstream what;
            what << r.format << " " << bits;
            image2d_t source = noise(r.format, bits, uint64_t(1) << s_image_bits_list[bits].bits);
            std::string png = dir + "/t.png";
            ASSERT_EQ(savepng(png.c_str(), source, "noise"), 0) << what.str();
            std::string expected = decoded::rgba16(source);
            EXPECT_EQ(decoded::magick_rgba16(png), expected) << what.str();
            image2d_t image;
            image_png_t reader;
            ASSERT_TRUE(reader.load(image, png.c_str())) << what.str();
            EXPECT_EQ(image.desc, source.desc) << what.str();
            EXPECT_EQ(decoded::rgba16(image), expected) << what.str();
        }
    }
}

TEST(PngFile, ReadsInterlacedFilesWhole) {
    SKIP_WITHOUT_PROGRAM("convert");
    std::string dir = testenv::scratch_dir(), png = dir + "/i.png";
    ASSERT_TRUE(decoded::magick("-seed 2 -size 21x11 plasma: -interlace PNG " + png));
    image2d_t image;
    ASSERT_TRUE(image_png_t().load(image, png.c_str()));
    EXPECT_EQ(decoded::rgba16(image), decoded::magick_rgba16(png));
}

// Five PLTE entries give an eight-entry palette whose last three are black.
TEST(PngFile, PadsAShortPaletteWithBlack) {
    std::string dir = testenv::scratch_dir(), png = dir + "/p.png";
    image2d_t source = noise(IMAGE_FORMAT_INDEX, IMAGE_BITS_4, 5);
    for (uint32_t y = 0; y < source.height; ++y)
        for (uint32_t x = 0; x < source.width; x += 2) source[y][x / 2] = (unsigned char)((x % 5) << 4 | ((x + 1) % 5));
    ASSERT_EQ(savepng(png.c_str(), source, nullptr), 0);
    std::string bytes = testenv::read_file(png);
    size_t plte = bytes.find("PLTE");
    ASSERT_NE(plte, std::string::npos);
    EXPECT_EQ(bytes[plte - 1], char(15));  // 5 entries of 3 bytes
    image2d_t image;
    ASSERT_TRUE(image_png_t().load(image, png.c_str()));
    ASSERT_EQ(image.palette.size(), 8u);
    for (uint64_t i = 0; i < 8; ++i) {
        unsigned short want = i < 5 ? *source.palette.red[i] : 0;
        EXPECT_EQ(*image.palette.red[i], want) << i;
    }
    if (testenv::have_program("convert")) {
        EXPECT_EQ(decoded::magick_rgba16(png), decoded::rgba16(source));
    }
}

TEST(PngFile, RefusesWhatIsNotAPictureItCanHold) {
    std::string dir = testenv::scratch_dir();
    image2d_t image;
    testenv::write_file(dir + "/not.png", "GIF89a....");
    EXPECT_FALSE(check_if_png((dir + "/not.png").c_str(), std::cerr));
    EXPECT_EQ(loadpng((dir + "/not.png").c_str(), image), -1);
    // A truncated file: libpng's error, reported, and no picture.
    image2d_t source = noise(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 0);
    ASSERT_EQ(savepng((dir + "/whole.png").c_str(), source, nullptr), 0);
    EXPECT_TRUE(check_if_png((dir + "/whole.png").c_str(), std::cerr));
    std::string bytes = testenv::read_file(dir + "/whole.png");
    testenv::write_file(dir + "/cut.png", bytes.substr(0, bytes.size() / 2));
    std::string err =
        testenv::stderr_of([&] { EXPECT_EQ(loadpng((dir + "/cut.png").c_str(), image), -4); });
    EXPECT_NE(err.find(dir + "/cut.png: png: "), std::string::npos) << err;
    EXPECT_TRUE(image.empty());
    // A chunk declaring 1 GB in a small file is refused before libpng
    // allocates what it declares.
    std::string huge = bytes.substr(0, 33) + std::string("\x40\0\0\0tEXtkey", 11) +
                       std::string(1, '\0') + "text" + bytes.substr(33);
    testenv::write_file(dir + "/huge.png", huge);
    err = testenv::stderr_of([&] { EXPECT_EQ(loadpng((dir + "/huge.png").c_str(), image), -4); });
    EXPECT_NE(err.find(dir + "/huge.png: png: chunk longer than the file, FAIL"), std::string::npos)
        << err;
    // Layouts PNG cannot hold are refused before the file is made.
    image2d_t bgr = noise(IMAGE_FORMAT_BGR, IMAGE_BITS_8, 0);
    testenv::stderr_of([&] { EXPECT_EQ(savepng((dir + "/bgr.png").c_str(), bgr, nullptr), -5); });
    EXPECT_FALSE(testenv::exists(dir + "/bgr.png"));
}

// BMP files: both readers against ImageMagick's reading of files that
// ImageMagick wrote, the writer read back by ImageMagick, and hostile headers.
#include <gtest/gtest.h>

#include <set>

#include "decoded.h"
#include "libgr/imagefile/bmpimage.h"
#include "libgr/imagefile/filebytes.h"
#include "libgr/imagefile/imagebmp.h"
#include "support/testenv.h"

using libgr::image2d_t;
using namespace libgr::filebytes;

namespace {

// A noisy picture ImageMagick turns into each BMP layout.
std::string plasma(const std::string& dir, int w, int h) {
    std::string png = dir + "/plasma" + std::to_string(w) + "x" + std::to_string(h) + ".png";
    decoded::magick("-seed 5 -size " + std::to_string(w) + "x" + std::to_string(h) + " plasma: " + png);
    return png;
}

}  // namespace

TEST(BmpFile, ReadsWhatImageMagickWrites) {
    SKIP_WITHOUT_PROGRAM("convert");
    std::string dir = testenv::scratch_dir();
    struct row_t {
        const char* args;
        const char* prefix;  // BMP3: 40-byte header; none: ImageMagick's 124-byte header
    } rows[] = {
        {"-type Bilevel", "BMP3:"},   {"-colors 16", "BMP3:"},         {"-colors 200 -type Palette", "BMP3:"},
        {"-type Grayscale -type Palette", "BMP3:"},                     {"-type TrueColor", "BMP3:"},
        {"-colors 16", ""},           {"-type TrueColor", ""},          {"-type TrueColorAlpha", ""},
    };
    std::set<int> depths;
    for (int w : {1, 3, 5, 17}) {
        std::string source = plasma(dir, w, 23);
        for (const row_t& r : rows) {
            std::string bmp = dir + "/t.bmp";
            ASSERT_TRUE(decoded::magick(source + " -compress none " + r.args + " " + r.prefix + bmp));
            std::string expected = decoded::magick_rgba16(bmp);
            std::string what = std::string(r.args) + " " + r.prefix + " width " + std::to_string(w);
            image2d_t image;
            libgr::image_bmp2_t reader;
            ASSERT_TRUE(reader.load(image, bmp.c_str())) << what;
            depths.insert(int(image.desc.getPixelBits()));
            EXPECT_EQ(decoded::rgba16(image), expected) << what;
            // The stream reader ignores the palette; true-colour files read alike.
            libgr::image_bmp_t plain;
            if (image.desc.format == libgr::IMAGE_FORMAT_BGR) {
                ASSERT_TRUE(plain.load(image, bmp.c_str())) << what;
                EXPECT_EQ(decoded::rgba16(image), expected) << what;
            }
        }
    }
    EXPECT_EQ(depths, (std::set<int>{1, 4, 8, 24, 32}));
}

// A 3-pixel 24-bit row is 9 bytes stored as 12; an 8-bit grey picture saved
// gets a 256-entry grey palette: the mapped reader makes it INDEX, the stream
// reader grey, and ImageMagick reads the same pixels.
TEST(BmpFile, WritesRowsOfFourBytesAndAGreyPalette) {
    SKIP_WITHOUT_PROGRAM("convert");
    std::string dir = testenv::scratch_dir();
    std::string source = plasma(dir, 3, 5), bmp = dir + "/w.bmp", grey = dir + "/g.bmp";
    image2d_t rgb, image;
    libgr::image_bmp2_t mapped;
    libgr::image_bmp_t stream;
    ASSERT_TRUE(decoded::magick(source + " -type TrueColor BMP3:" + dir + "/in.bmp"));
    ASSERT_TRUE(mapped.load(rgb, (dir + "/in.bmp").c_str()));
    ASSERT_TRUE(stream.save(rgb, bmp.c_str()));
    EXPECT_EQ(testenv::read_file(bmp).size(), 54u + 5 * 12);
    EXPECT_EQ(decoded::magick_rgba16(bmp), decoded::rgba16(rgb));

    ASSERT_TRUE(decoded::magick(source + " -colorspace gray -depth 8 gray:" + dir + "/g.raw"));
    image2d_t g;
    g.desc = libgr::image_desc_t(libgr::IMAGE_FORMAT_GRAYSCALE, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
    g.width = 3;
    g.height = 5;
    ASSERT_TRUE(g.allocate());
    std::string raw = testenv::read_file(dir + "/g.raw");
    for (uint32_t y = 0; y < 5; ++y) std::memcpy(g[4 - y], raw.data() + 3 * y, 3);
    ASSERT_TRUE(stream.save(g, grey.c_str()));
    ASSERT_TRUE(mapped.load(image, grey.c_str()));
    EXPECT_EQ(image.desc.format, libgr::IMAGE_FORMAT_INDEX);
    EXPECT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(decoded::magick_rgba16(grey), decoded::rgba16(image));
    ASSERT_TRUE(stream.load(image, grey.c_str()));
    EXPECT_EQ(image.desc.format, libgr::IMAGE_FORMAT_GRAYSCALE);
    EXPECT_EQ(decoded::rgba16(image), decoded::rgba16(g));
}

// A top-down file (negative height) reads as the same picture.
TEST(BmpFile, ReadsTopDownRows) {
    SKIP_WITHOUT_PROGRAM("convert");
    std::string dir = testenv::scratch_dir();
    std::string bmp = dir + "/up.bmp", down = dir + "/down.bmp";
    ASSERT_TRUE(decoded::magick(plasma(dir, 5, 4) + " -type TrueColor BMP3:" + bmp));
    std::string bytes = testenv::read_file(bmp), flipped = bytes.substr(0, 54);
    for (int y = 3; y >= 0; --y) flipped += bytes.substr(54 + 16 * y, 16);
    put32(reinterpret_cast<unsigned char*>(&flipped[22]), uint32_t(-4));
    ASSERT_TRUE(testenv::write_file(down, flipped));
    image2d_t image;
    for (bool mapped : {true, false}) {
        std::unique_ptr<libgr::image_object_t> reader(mapped ? (libgr::image_object_t*)new libgr::image_bmp2_t
                                                             : new libgr::image_bmp_t);
        ASSERT_TRUE(reader->load(image, down.c_str()));
        EXPECT_EQ(decoded::rgba16(image), decoded::magick_rgba16(bmp));
    }
}

// Header fields are outside data: each lie is refused with a message, never
// read past the file or allocated.
TEST(BmpFile, RefusesHeadersThatLie) {
    std::string dir = testenv::scratch_dir();
    // A valid 4 x 2 24-bit file, then one field changed per case.
    std::string good(54 + 2 * 12, '\x40');
    libgr::bmpheader_t h;
    h.type = 0x4D42, h.offset = 54, h.infosize = 40, h.width = 4, h.height = 2, h.planes = 1, h.bits = 24;
    h.encode(reinterpret_cast<unsigned char*>(&good[0]));
    struct lie_t {
        const char* what;
        size_t at;
        uint32_t value;
        const char* message;
    } lies[] = {
        {"magic", 0, 0x4D41, "not a BMP file."},
        {"negative width", 18, uint32_t(-4), "width or height out of range."},
        {"huge width", 18, 0x7FFFFFFF, "width or height out of range."},
        {"zero height", 22, 0, "width or height out of range."},
        {"most negative height", 22, 0x80000000, "width or height out of range."},
        {"offset past the end", 10, 1000, "pixel data offset out of range."},
        {"rows past the end", 22, 3, "pixel data past the end of the file."},
        {"overflowing rows", 18, 1 << 20, "pixel data past the end of the file."},
        {"bits", 28, 64, "bad bits per pixel 64."},
        {"small info header", 14, 12, "unsupported header size 12."},
    };
    for (const lie_t& l : lies) {
        std::string bytes = good;
        unsigned char* p = reinterpret_cast<unsigned char*>(&bytes[l.at]);
        if (l.at == 0 || l.at == 28) put16(p, uint16_t(l.value));
        else put32(p, l.value);
        std::string path = dir + "/lie.bmp";
        ASSERT_TRUE(testenv::write_file(path, bytes));
        for (bool mapped : {true, false}) {
            image2d_t image;
            bool ok = false;
            std::string err = testenv::stderr_of([&] {
                ok = mapped ? libgr::image_bmp2_t().load(image, path.c_str())
                            : libgr::image_bmp_t().load(image, path.c_str());
            });
            EXPECT_FALSE(ok) << l.what;
            EXPECT_EQ(err, path + ": bmp: " + l.message + "\n") << l.what;
        }
    }
    ASSERT_TRUE(testenv::write_file(dir + "/short.bmp", good.substr(0, 30)));
    image2d_t image;
    testenv::stderr_of([&] {
        EXPECT_FALSE(libgr::image_bmp2_t().load(image, (dir + "/short.bmp").c_str()));
        EXPECT_FALSE(libgr::image_bmp_t().load(image, (dir + "/short.bmp").c_str()));
    });
}

// TGA files: unpadded rows of every width and depth, written by ImageMagick,
// read as ffmpeg reads them; the writer read back by ffmpeg; what is refused.
#include <gtest/gtest.h>

#include "decoded.h"
#include "libgr/imagefile/imagetga.h"
#include "support/testenv.h"

using libgr::image2d_t;

TEST(TgaFile, ReadsWhatImageMagickWritesAndWritesWhatItReads) {
    SKIP_WITHOUT_PROGRAM("convert");
    SKIP_WITHOUT_PROGRAM("ffmpeg");
    std::string dir = testenv::scratch_dir();
    struct row_t {
        const char* args;
        unsigned depth;
    } rows[] = {
        {"-type Grayscale", 8},
        {"-type Palette", 8},
        {"-depth 5 -define tga:bits-per-pixel=16", 16},
        {"-type TrueColor", 24},
        {"-type TrueColorAlpha", 32},
    };
    for (int w : {1, 3, 5, 17}) {
        std::string source = dir + "/p.png", tga = dir + "/t.tga", again = dir + "/again.tga";
        ASSERT_TRUE(decoded::magick("-seed 9 -size " + std::to_string(w) + "x7 plasma: " + source));
        for (const row_t& r : rows) {
            std::string what = std::string(r.args) + ", width " + std::to_string(w);
            ASSERT_TRUE(decoded::magick(source + " " + r.args + " -compress none " + tga)) << what;
            image2d_t image;
            libgr::image_tga_t reader;
            ASSERT_TRUE(reader.load(image, tga.c_str())) << what;
            EXPECT_EQ(image.desc.getPixelBits(), r.depth) << what;
            std::string expected = decoded::ffmpeg_rgba8(tga);
            EXPECT_EQ(decoded::to8(decoded::rgba16(image)), expected) << what;
            // The writer, on one odd width (there is no colour-map writer).
            if (w != 3 || image.desc.format == libgr::IMAGE_FORMAT_INDEX) continue;
            ASSERT_TRUE(reader.save(image, again.c_str())) << what;
            EXPECT_EQ(decoded::ffmpeg_rgba8(again), expected) << what;
        }
    }
}

TEST(TgaFile, RefusesTopLeftOriginAndLyingHeaders) {
    SKIP_WITHOUT_PROGRAM("convert");
    std::string dir = testenv::scratch_dir(), tga = dir + "/t.tga";
    ASSERT_TRUE(decoded::magick("-size 5x3 xc:red -type TrueColor -compress none " + tga));
    const std::string good = testenv::read_file(tga);
    struct lie_t {
        const char* what;
        size_t at;
        unsigned char value;
        const char* message;
    } lies[] = {
        {"top-left origin", 17, 0x20, "origin not at the bottom left."},
        {"run-length", 2, 10, "unsupported image type 10."},
        {"zero width", 12, 0, "width or height is 0."},
        {"taller than the file", 15, 1, "pixel data past the end of the file."},
        {"long identification", 0, 255, "pixel data past the end of the file."},
        {"depth", 16, 12, "unsupported pixel depth 12."},
        {"colour-mapped 24-bit", 2, 1, "unsupported pixel depth 24."},
    };
    for (const lie_t& l : lies) {
        std::string bytes = good;
        bytes[l.at] = char(l.value);
        if (l.at == 12) bytes[13] = 0;
        ASSERT_TRUE(testenv::write_file(tga, bytes));
        image2d_t image;
        EXPECT_EQ(testenv::stderr_of([&] {
                      EXPECT_FALSE(libgr::image_tga_t().load(image, tga.c_str())) << l.what;
                  }),
                  tga + ": tga: " + l.message + "\n")
            << l.what;
    }
}

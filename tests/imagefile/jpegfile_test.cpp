// JPEG files through image_jpeg1_t: pixels as djpeg decodes them, the EXIF
// orientation as a quarter-turn count with the pixels left unturned, screenshots
// written at quality 95 baseline, and headers that memory cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "libgr/imagefile/imagejpeg.h"
#include "support/jpegfixture.h"
#include "support/peers.h"
#include "support/testenv.h"

using libgr::image2d_t;

namespace {

// The picture's pixels top row first, without row padding.
std::string top_down(const image2d_t& image) {
    std::string out;
    for (uint32_t y = image.height; y-- > 0;)
        out.append(reinterpret_cast<const char*>(image[y]), image.rowbyte());
    return out;
}

int orientation_by_exiftool(const std::string& jpeg) {
    std::string json = testenv::read_file(jpeg + ".exiftool.json");
    size_t at = json.find("\"IFD0:Orientation\":");
    return at == std::string::npos ? 0 : std::atoi(json.c_str() + json.find(':', at + 6) + 1);
}

}  // namespace

TEST(JpegFile, DecodesAsDjpegDoes) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    std::string dir = testenv::scratch_dir();
    for (int components : {1, 3}) {
        jpegfixture::options_t o;
        o.width = 37;
        o.height = 21;
        o.components = components;
        std::string jpg = dir + "/p" + std::to_string(components) + ".jpg";
        ASSERT_TRUE(jpegfixture::write_jpeg(jpg, o));
        peers::pnm_t ref;
        ASSERT_EQ(peers::djpeg(jpg, ref), 0);
        std::string expected(ref.px.begin(), ref.px.end());

        image2d_t image;
        libgr::image_jpeg1_t jpeg;
        ASSERT_TRUE(jpeg.load(image, jpg.c_str()));
        EXPECT_EQ(int(image.width), ref.width);
        EXPECT_EQ(int(image.height), ref.height);
        EXPECT_EQ(top_down(image), expected) << components << " components";
        EXPECT_EQ(jpeg.rightrotatecount(), 0u);
    }
}

// Landscape_N.jpg carries EXIF orientation N: 6, 3 and 8 ask for one, two and
// three quarter turns to the right; the pixels stay as stored.
TEST(JpegFile, OrientationGivesQuarterTurnsWithUnturnedPixels) {
    SKIP_WITHOUT_CAMERA_FILES();
    const uint64_t turns[9] = {0, 0, 0, 2, 0, 0, 1, 0, 3};
    for (int n = 0; n <= 8; ++n) {
        std::string jpg = testenv::camera_dir() + "/Landscape_" + std::to_string(n) + ".jpg";
        if (!testenv::exists(jpg)) continue;
        int orientation = orientation_by_exiftool(jpg);
        image2d_t image;
        libgr::image_jpeg1_t jpeg;
        ASSERT_TRUE(jpeg.load(image, jpg.c_str())) << jpg;
        EXPECT_EQ(jpeg.rightrotatecount(), orientation <= 8 ? turns[orientation] : 0u) << jpg;
        peers::pnm_t ref;
        ASSERT_EQ(peers::djpeg(jpg, ref), 0);
        std::string expected(ref.px.begin(), ref.px.end());
        EXPECT_EQ(int(image.width), ref.width) << jpg;
        EXPECT_TRUE(top_down(image) == expected) << jpg << ": pixels differ from djpeg's";
    }
}

TEST(JpegFile, SavesQuality95Baseline) {
    SKIP_WITHOUT_PROGRAM("identify");
    std::string dir = testenv::scratch_dir();
    jpegfixture::options_t o;
    o.width = 40;
    o.height = 30;
    ASSERT_TRUE(jpegfixture::write_jpeg(dir + "/in.jpg", o));
    image2d_t image;
    libgr::image_jpeg1_t in, out;
    ASSERT_TRUE(in.load(image, (dir + "/in.jpg").c_str()));
    std::string shot = dir + "/in.vue.1.jpg";
    ASSERT_TRUE(out.save(image, shot.c_str()));
    std::string report;
    ASSERT_EQ(testenv::run("identify -format '%Q %wx%h %[jpeg:sampling-factor] %[interlace]' " +
                               testenv::shell_quote(shot), &report), 0);
    EXPECT_EQ(report.substr(0, 9), "95 40x30 ");
    EXPECT_NE(report.find("None"), std::string::npos) << report;
    // Baseline: a SOF0 frame header.
    EXPECT_NE(testenv::read_file(shot).find("\xFF\xC0"), std::string::npos);
}

// A header that asks for 65535 x 65535 pixels (12.9 GB) is refused with a
// message naming the file, before any pixel is allocated.
TEST(JpegFile, RefusesAPictureMemoryCannotHold) {
    std::string dir = testenv::scratch_dir();
    std::vector<unsigned char> bytes = jpegfixture::make_jpeg(jpegfixture::options_t());
    for (size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            std::memset(&bytes[i + 5], 0xFF, 4);  // height and width
            break;
        }
    }
    std::string jpg = dir + "/huge.jpg";
    ASSERT_TRUE(testenv::write_file(jpg, std::string(bytes.begin(), bytes.end())));
    image2d_t image;
    libgr::image_jpeg1_t jpeg;
    std::string err = testenv::stderr_of([&] { EXPECT_FALSE(jpeg.load(image, jpg.c_str())); });
    EXPECT_NE(err.find(jpg + ": jpeg decompress fail, stop."), std::string::npos) << err;
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(jpeg.load(image, (dir + "/missing.jpg").c_str()));
}

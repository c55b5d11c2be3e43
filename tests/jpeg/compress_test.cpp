// The encoder against libjpeg-turbo's cjpeg, the segments it carries over,
// and its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "jpegtest.h"
#include "libgr/image/imageops.h"
#include "libgr/jpeg/jpeginfo.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using namespace libgr;
using jpegtest::pnm_t;

namespace {

// A picture holding the fixture pattern (rows top-down in `pixels`).
image2d_t picture(const jpegfixture::options_t& o, std::vector<unsigned char>& pixels,
                  uint32_t alignment_store = 0) {
    static image_store_t store1 = {false, 1};
    pixels = jpegfixture::pattern(o);
    image2d_t img;
    img.desc = o.components == 1
                   ? image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8)
                   : image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    if (alignment_store == 1) img.store = &store1;
    img.width = uint32_t(o.width);
    img.height = uint32_t(o.height);
    EXPECT_TRUE(img.allocate());
    size_t row = size_t(o.width) * o.components;
    for (int y = 0; y < o.height; ++y)
        std::memcpy(img[uint64_t(o.height - 1 - y)], &pixels[y * row], row);
    return img;
}

jpegfixture::options_t size_of(int w, int h, int comps) {
    jpegfixture::options_t o;
    o.width = w;
    o.height = h;
    o.components = comps;
    o.seed = unsigned(w + h);
    return o;
}

}  // namespace

struct encode_case_t {
    int width, height, components, quality;
    uint32_t alignment;
};

class CompressAgainstCjpeg : public testing::TestWithParam<encode_case_t> {};

TEST_P(CompressAgainstCjpeg, DecodesToTheSamePixelsAsCjpegsFile) {
    SKIP_WITHOUT_PROGRAM("cjpeg");
    SKIP_WITHOUT_PROGRAM("djpeg");
    const encode_case_t& c = GetParam();
    jpegfixture::options_t o = size_of(c.width, c.height, c.components);
    std::vector<unsigned char> pixels;
    image2d_t img = picture(o, pixels, c.alignment);
    jpeginfo_t info;
    jpegdata_t out;
    ASSERT_TRUE(info.compress(out, img, c.quality, true));

    std::string dir = testenv::scratch_dir("cjpeg");
    ASSERT_TRUE(jpegtest::write_bytes(dir + "/ours.jpg", out.begin(), out.size()));
    ASSERT_TRUE(jpegfixture::write_pnm(dir + "/in.pnm", o.width, o.height, o.components, pixels));
    ASSERT_EQ(testenv::run("cjpeg -quality " + std::to_string(c.quality) + " -baseline " + dir +
                           "/in.pnm > " + dir + "/theirs.jpg"),
              0);
    pnm_t ours, theirs;
    ASSERT_EQ(jpegtest::djpeg(dir + "/ours.jpg", ours), 0);
    ASSERT_EQ(jpegtest::djpeg(dir + "/theirs.jpg", theirs), 0);
    EXPECT_EQ(ours.width, o.width);
    EXPECT_EQ(ours.height, o.height);
    EXPECT_TRUE(ours.px == theirs.px);
    // Nothing but the encoded bytes: the file ends with its EOI marker.
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out.begin()[out.size() - 2], 0xFF);
    EXPECT_EQ(out.begin()[out.size() - 1], 0xD9);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, CompressAgainstCjpeg,
    testing::Values(encode_case_t{64, 48, 3, 75, 0}, encode_case_t{17, 9, 3, 92, 0},
                    encode_case_t{3, 5, 3, 100, 1}, encode_case_t{1, 1, 3, 50, 0},
                    encode_case_t{33, 20, 1, 85, 0}, encode_case_t{7, 3, 1, 100, 1},
                    encode_case_t{2000, 700, 3, 100, 0}));

TEST(Compress, OutputGrowsPastOneMebibyteOnlyWhenNeeded) {
    std::vector<unsigned char> pixels;
    jpeginfo_t info;
    jpegdata_t small, big;
    ASSERT_TRUE(info.compress(small, picture(size_of(64, 64, 3), pixels), 90, true));
    EXPECT_LT(small.size(), 20000u);
    // Noisy pixels at the best quality: several mebibytes.
    ASSERT_TRUE(info.compress(big, picture(size_of(2000, 1500, 3), pixels), 100, true));
    EXPECT_GT(big.size(), 1u << 20);
    EXPECT_EQ(big.begin()[big.size() - 1], 0xD9);
    // The encoded length is exactly what a decoder reads up to EOI.
    std::vector<jpegtest::segment_t> segs =
        jpegtest::segments(std::vector<unsigned char>(big.begin(), big.end()));
    ASSERT_FALSE(segs.empty());
    EXPECT_EQ(segs[0].code, 0xE0);
}

TEST(Compress, KeepsTheOrientationOfTheRows) {
    // Top half white, bottom half black, as the picture is seen.
    image2d_t img;
    img.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.width = 16;
    img.height = 32;
    ASSERT_TRUE(img.allocate());
    for (uint32_t y = 0; y < 32; ++y) std::memset(img[y], y >= 16 ? 255 : 0, 16);
    jpeginfo_t info;
    jpegdata_t out;
    ASSERT_TRUE(info.compress(out, img, 95, true));
    image2d_t back;
    ASSERT_TRUE(info.decompress(back, out));
    EXPECT_GT(back[31][0], 240);
    EXPECT_LT(back[0][0], 15);
}

TEST(Compress, WritesEverySegmentByteForByteAfterLibjpegsJfifHeader) {
    SKIP_WITHOUT_CAMERA_FILES();
    // Camera files with and without a JFIF header of their own.
    for (const char* name : {"Casio_EX-Z3.jpg", "Landscape_6.jpg", "Panasonic_DMC-LX3_Lumix.jpg"}) {
        std::string path = testenv::camera_dir() + "/" + name;
        std::vector<unsigned char> original = jpegtest::file_bytes(path);
        std::vector<jpegtest::segment_t> segs = jpegtest::segments(original);
        const jpegtest::segment_t* exif = nullptr;
        for (const jpegtest::segment_t& s : segs)
            if (s.code == 0xE1 && !exif) exif = &s;
        ASSERT_NE(exif, nullptr) << name;

        jpegdata_t data;
        ASSERT_TRUE(data.load(path.c_str()));
        jpeginfo_t info;
        image2d_t image;
        ASSERT_TRUE(info.decompress(image, data)) << name;
        jpegdata_t out;
        ASSERT_TRUE(info.compress(out, image, 80, true)) << name;
        std::vector<unsigned char> bytes(out.begin(), out.end());
        std::vector<jpegtest::segment_t> written = jpegtest::segments(bytes);
        ASSERT_GE(written.size(), 2u) << name;
        EXPECT_EQ(written[0].code, 0xE0);
        EXPECT_EQ(std::memcmp(written[0].payload.data(), "JFIF", 5), 0);
        // After libjpeg's header come the source's APPn and COM segments in
        // file order, the source's own JFIF header included.
        std::vector<const jpegtest::segment_t*> apps, written_apps;
        for (const jpegtest::segment_t& s : segs)
            if ((s.code >= 0xE0 && s.code <= 0xEF) || s.code == 0xFE) apps.push_back(&s);
        for (size_t i = 1; i < written.size(); ++i)
            if ((written[i].code >= 0xE0 && written[i].code <= 0xEF) || written[i].code == 0xFE)
                written_apps.push_back(&written[i]);
        ASSERT_EQ(written_apps.size(), apps.size()) << name;
        for (size_t i = 0; i < apps.size(); ++i) {
            EXPECT_EQ(written_apps[i]->code, apps[i]->code) << name;
            EXPECT_TRUE(written_apps[i]->payload == apps[i]->payload) << name;
        }
        bool had_jfif = segs[0].code == 0xE0;
        EXPECT_EQ(written[had_jfif ? 2 : 1].code, 0xE1) << name;
        EXPECT_TRUE(written[had_jfif ? 2 : 1].payload == exif->payload) << name;
    }
}

TEST(Compress, RefusesPicturesWithoutAJpegLayout) {
    image2d_t img;
    img.desc = image_desc_t(IMAGE_FORMAT_RGBA, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.width = img.height = 4;
    ASSERT_TRUE(img.allocate());
    jpeginfo_t info;
    jpegdata_t out;
    EXPECT_FALSE(info.compress(out, img, 90, true));
    EXPECT_TRUE(out.empty());
}

TEST(Compress, ReportsLibjpegErrorsAsOneLineAndReturns) {
    struct bad_t {
        uint32_t width, height;
        const char* reason;
    };
    for (const bad_t& b : {bad_t{0, 4, "Empty JPEG image"},
                           bad_t{70000, 1, "Maximum supported image dimension is 65500 pixels"},
                           bad_t{1, 65501, "Maximum supported image dimension is 65500 pixels"}}) {
        image2d_t img;
        img.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
        img.width = b.width;
        img.height = b.height;
        ASSERT_TRUE(img.allocate());
        jpeginfo_t info;
        jpegdata_t out;
        out.name = "out.jpg";
        std::string err =
            testenv::stderr_of([&] { EXPECT_FALSE(info.compress(out, img, 90, true)); });
        EXPECT_EQ(err.rfind("out.jpg: jpeg compress fail, ", 0), 0u) << err;
        EXPECT_NE(err.find(b.reason), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_TRUE(out.empty());
    }
}

TEST(Compress, RefusesAPictureWithoutPixels) {
    image2d_t img;
    img.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    img.width = 100;
    img.height = 100;
    jpeginfo_t info;
    jpegdata_t out;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(info.compress(out, img, 90, true)); }),
              "compress(): image buffer too small.\n");
}

TEST(Compress, EncodesTheVisibleAreaOfAWindow) {
    std::vector<unsigned char> pixels;
    image2d_t img = picture(size_of(40, 30, 3), pixels), win, copied;
    ASSERT_TRUE(makewindow(win, img, 7, 5, 17, 11));
    ASSERT_TRUE(copy(copied, win));
    jpeginfo_t info;
    jpegdata_t a, b;
    ASSERT_TRUE(info.compress(a, win, 90, true));
    ASSERT_TRUE(info.compress(b, copied, 90, true));
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.begin(), b.begin(), a.size()), 0);
}

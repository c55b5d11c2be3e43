// The decoder against libjpeg-turbo's djpeg: the same pixels for every
// camera file and for generated files of every sampling, and the refusals.
#include <gtest/gtest.h>

#include <cstdlib>

#include <cstring>

#include "jpegtest.h"
#include "libgr/jpeg/jpeginfo.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using namespace libgr;
using jpegtest::pnm_t;

namespace {

struct decoded_t {
    bool ok = false;
    std::string messages;
    image2d_t image;
    jpeginfo_t info;
};

decoded_t decode_file(const std::string& path) {
    decoded_t d;
    jpegdata_t data;
    EXPECT_TRUE(data.load(path.c_str())) << path;
    d.messages = testenv::stderr_of([&] { d.ok = d.info.decompress(d.image, data); });
    return d;
}

}  // namespace

class CameraDecode : public testing::TestWithParam<std::string> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CameraDecode);

TEST_P(CameraDecode, GivesDjpegsPixelsOrRefusesWhatDjpegCannotDecode) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    const std::string path = GetParam();
    pnm_t ref;
    std::string djpeg_messages;
    int status = jpegtest::djpeg(path, ref, &djpeg_messages);
    long components = jpegtest::exiftool_number(testenv::read_file(path + ".exiftool.json"),
                                                "File:ColorComponents");
    decoded_t d = decode_file(path);
    if (components == 4) {
        // CMYK comes out as RGB, close to what ImageMagick makes of it
        // (djpeg writes no RGB for it).
        SKIP_WITHOUT_PROGRAM("convert");
        ASSERT_TRUE(d.ok) << d.messages;
        pnm_t magick;
        const std::string ppm = testenv::scratch_dir("cmyk") + "/magick.ppm";
        ASSERT_EQ(testenv::run("convert " + testenv::shell_quote(path) + " -depth 8 " +
                               testenv::shell_quote(ppm)),
                  0);
        ASSERT_TRUE(jpegtest::parse_pnm(testenv::read_file(ppm), magick));
        ASSERT_EQ(d.image.width, uint32_t(magick.width));
        ASSERT_EQ(d.image.height, uint32_t(magick.height));
        double total = 0;
        for (int y = 0; y < magick.height; ++y) {
            const unsigned char* ours = d.image[magick.height - 1 - y];
            for (int x = 0; x < magick.width * 3; ++x)
                total += std::abs(int(ours[x]) - int(magick.row(y)[x]));
        }
        EXPECT_LT(total / (magick.width * magick.height * 3.0), 3.0);
        return;
    }
    if (ref.px.empty()) {
        ASSERT_NE(status, 0);
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.messages.find(path + ": error detected.\n"), std::string::npos) << d.messages;
        EXPECT_NE(d.messages.find(path + ": jpeg decompress fail, stop.\n"), std::string::npos);
        // libjpeg's own line is the one djpeg printed last.
        std::string last =
            djpeg_messages.substr(djpeg_messages.rfind('\n', djpeg_messages.size() - 2) + 1);
        EXPECT_NE(d.messages.find(last), std::string::npos)
            << d.messages << " vs " << djpeg_messages;
        return;
    }
    EXPECT_TRUE(d.ok) << d.messages;
    EXPECT_TRUE(jpegtest::same_pixels(d.image, ref));
    EXPECT_EQ(d.info.width, d.image.width);
    EXPECT_EQ(d.info.height, d.image.height);
    if (status == 2) {
        // djpeg warned: our decode shows the same first warning of libjpeg.
        std::string first = djpeg_messages.substr(0, djpeg_messages.find('\n') + 1);
        EXPECT_NE(d.messages.find(first), std::string::npos) << d.messages;
    }
}

INSTANTIATE_TEST_SUITE_P(Camera, CameraDecode, testing::ValuesIn(testenv::camera_jpegs()),
                         [](const testing::TestParamInfo<std::string>& p) {
                             return jpegtest::test_name(p.param);
                         });

// The decode cases above come from this list: with the camera folder there
// it must hold photos, each a JPEG stream with exiftool's record beside it.
TEST(CameraDecode, CameraFilesArePresent) {
    SKIP_WITHOUT_CAMERA_FILES();
    const std::vector<std::string> files = testenv::camera_jpegs();
    EXPECT_GE(files.size(), 10u) << testenv::camera_dir();
    for (const std::string& file : files) {
        EXPECT_EQ(testenv::read_file(file).substr(0, 2), "\xFF\xD8") << file;
        EXPECT_TRUE(testenv::exists(file + ".exiftool.json")) << file;
    }
}

struct fixture_case_t {
    const char* name;
    jpegfixture::options_t o;
};

jpegfixture::options_t opts(int w, int h, int comps, int hs, int vs, int restart = 0,
                            bool progressive = false, bool optimize = false) {
    jpegfixture::options_t o;
    o.width = w;
    o.height = h;
    o.components = comps;
    o.h_samp = hs;
    o.v_samp = vs;
    o.restart_rows = restart;
    o.progressive = progressive;
    o.optimize = optimize;
    o.seed = unsigned(w * 31 + h);
    return o;
}

class FixtureDecode : public testing::TestWithParam<fixture_case_t> {};

TEST_P(FixtureDecode, GivesDjpegsPixels) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    std::string path = testenv::scratch_dir("fix") + "/f.jpg";
    ASSERT_TRUE(jpegfixture::write_jpeg(path, GetParam().o));
    pnm_t ref;
    ASSERT_EQ(jpegtest::djpeg(path, ref), 0);
    decoded_t d = decode_file(path);
    ASSERT_TRUE(d.ok) << d.messages;
    EXPECT_EQ(d.messages, "");
    EXPECT_TRUE(jpegtest::same_pixels(d.image, ref));
    image_desc_t want = GetParam().o.components == 1
                            ? image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8)
                            : image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    EXPECT_TRUE(d.image.desc == want);
    EXPECT_EQ(d.image.rowsize(), (uint64_t(d.image.width) * GetParam().o.components + 3) / 4 * 4);
    ASSERT_NE(d.image.store, nullptr);
    EXPECT_EQ(d.image.store->alignment, 4u);
    EXPECT_FALSE(d.image.store->swap_bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Generated, FixtureDecode,
    testing::Values(fixture_case_t{"grey_64x48", opts(64, 48, 1, 1, 1)},
                    fixture_case_t{"grey_1x1", opts(1, 1, 1, 1, 1)},
                    fixture_case_t{"grey_3x17_progressive", opts(3, 17, 1, 1, 1, 0, true)},
                    fixture_case_t{"grey_17x40_restart", opts(17, 40, 1, 1, 1, 1)},
                    fixture_case_t{"s444_17x9", opts(17, 9, 3, 1, 1)},
                    fixture_case_t{"s422_3x20", opts(3, 20, 3, 2, 1)},
                    fixture_case_t{"s420_1x1", opts(1, 1, 3, 2, 2)},
                    fixture_case_t{"s420_1x35", opts(1, 35, 3, 2, 2)},
                    fixture_case_t{"s420_17x33_restart", opts(17, 33, 3, 2, 2, 1)},
                    fixture_case_t{"s420_33x19_progressive", opts(33, 19, 3, 2, 2, 0, true)},
                    fixture_case_t{"s422_45x30_progressive_optimized",
                                   opts(45, 30, 3, 2, 1, 0, true, true)},
                    fixture_case_t{"s440_17x21", opts(17, 21, 3, 1, 2)},
                    fixture_case_t{"s411_37x9_restart", opts(37, 9, 3, 4, 1, 2)},
                    fixture_case_t{"s420_640x480_restart", opts(640, 480, 3, 2, 2, 3)}),
    [](const testing::TestParamInfo<fixture_case_t>& p) { return std::string(p.param.name); });

TEST(Decompress, CmykBecomesRgbAndAPixelLimitIsKeptBeforeAnyAllocation) {
    jpegfixture::options_t o = opts(16, 8, 4, 1, 1);
    jpegdata_t data;
    jpegtest::set_bytes(data, jpegfixture::make_jpeg(o), "cmyk.jpg");
    jpeginfo_t info;
    image2d_t image;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_TRUE(info.decompress(image, data)); }), "");
    EXPECT_EQ(info.width, 16u);
    EXPECT_EQ(info.height, 8u);
    EXPECT_EQ(image.desc.getPixelBits(), 24u);

    // The memory a header asks for is known from the header alone.
    EXPECT_TRUE(info.analyze_markers(data));
    EXPECT_EQ(info.components, 4);
    EXPECT_EQ(info.decode_bytes(), 16u * 3 * 8);
    EXPECT_EQ(jpeginfo_t::decode_bytes(65000, 65000, 3, false), 65000ull * 3 * 65000);
    EXPECT_GT(jpeginfo_t::decode_bytes(65000, 65000, 3, true), 25000000000ull);
    info.max_pixels = 100;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(info.decompress(image, data)); }),
              "cmyk.jpg: 16x8 pixels, more than the limit of 100.\n");
}

TEST(Decompress, RefusesTwelveBitFilesWithLibjpegsReason) {
    SKIP_WITHOUT_CAMERA_FILES();
    std::string path = testenv::camera_dir() + "/monkey12.jpg";
    decoded_t d = decode_file(path);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.messages, path + ": error detected.\nUnsupported JPEG data precision 12\n" + path +
                              ": jpeg decompress fail, stop.\n");
}

TEST(Decompress, CollectsTheSegmentsOfTheFileInOrder) {
    SKIP_WITHOUT_CAMERA_FILES();
    for (const char* name : {"Panasonic_DMC-LX3_Lumix.jpg", "hp_PhotosmartM425_HPIM0046.JPG",
                             "Olympus_C750UZ_Issue_609.jpg"}) {
        std::string path = testenv::camera_dir() + "/" + name;
        std::vector<jpegtest::segment_t> want = jpegtest::segments(jpegtest::file_bytes(path));
        decoded_t d = decode_file(path);
        ASSERT_TRUE(d.ok) << name;
        std::vector<jpegtest::segment_t> apps;
        for (const jpegtest::segment_t& s : want)
            if ((s.code >= 0xE0 && s.code <= 0xEF) || s.code == 0xFE) apps.push_back(s);
        ASSERT_EQ(d.info.markers.size(), apps.size()) << name;
        for (size_t i = 0; i < apps.size(); ++i) {
            EXPECT_EQ(d.info.markers[i].marker, apps[i].code) << name << " #" << i;
            ASSERT_EQ(d.info.markers[i].data.size(), apps[i].payload.size()) << name << " #" << i;
            EXPECT_EQ(std::memcmp(d.info.markers[i].data.begin(), apps[i].payload.data(),
                                  apps[i].payload.size()),
                      0);
        }
    }
}

TEST(Decompress, ReplacesThePicturesOldPixelsWithoutTouchingOtherHolders) {
    jpegdata_t data;
    jpegtest::set_bytes(data, jpegfixture::make_jpeg(opts(5, 4, 1, 1, 1)));
    jpeginfo_t info;
    image2d_t image;
    image.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    image.width = image.height = 30;
    image.window.skip_rows = 3;
    ASSERT_TRUE(image.allocate());
    std::memset(image.begin(), 0xAB, image.size());
    image2d_t other = image;
    ASSERT_TRUE(info.decompress(image, data));
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.window.skip_rows, 0u);
    EXPECT_EQ(image.size(), 4u * 8);
    for (uint32_t y = 0; y < 4; ++y) EXPECT_EQ(image[y][5] | image[y][6] | image[y][7], 0);
    EXPECT_EQ(other.begin()[0], 0xAB);
}

TEST(Decompress, BorderAndAlignmentFrameThePictureInAWindow) {
    jpegfixture::options_t o = opts(17, 9, 3, 2, 2);
    jpegdata_t data;
    jpegtest::set_bytes(data, jpegfixture::make_jpeg(o));
    jpeginfo_t info;
    image2d_t plain, framed, aligned;
    ASSERT_TRUE(info.decompress(plain, data));
    color3ub_t colour;
    colour.r = 10;
    colour.g = 20;
    colour.b = 30;
    ASSERT_TRUE(info.decompress(framed, data, 0, true, colour));
    ASSERT_TRUE(info.decompress(aligned, data, 32, true, colour));
    EXPECT_EQ(framed.width, 17u);
    EXPECT_EQ(framed.height, 9u);
    EXPECT_EQ(framed.rowlength(), 19u);
    EXPECT_EQ(aligned.rowlength(), 32u);
    EXPECT_EQ(aligned.size(), 32u * aligned.rowsize());
    for (const image2d_t* img : {&framed, &aligned}) {
        for (uint32_t y = 0; y < 9; ++y)
            EXPECT_EQ(std::memcmp((*img)[y], plain[y], 17 * 3), 0) << "row " << y;
        // The stored row below the picture and the pixel left of it.
        const unsigned char* below = img->begin();
        EXPECT_EQ(below[0], 10);
        EXPECT_EQ(below[4], 20);
        EXPECT_EQ((*img)[4][-3], 10);
        EXPECT_EQ((*img)[4][17 * 3 + 2], 30);
        EXPECT_EQ((*img)[9][0], 10);  // the row above
    }
}

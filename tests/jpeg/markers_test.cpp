// analyze_markers against an independent walk of the segments and against
// exiftool's picture size.
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "jpegtest.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegmarker.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using namespace libgr;

class CameraMarkers : public testing::TestWithParam<std::string> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CameraMarkers);

TEST_P(CameraMarkers, ListsEverySegmentInFileOrderWithThePictureSize) {
    const std::string path = GetParam();
    std::string json = testenv::read_file(path + ".exiftool.json");
    long width = jpegtest::exiftool_number(json, "File:ImageWidth");
    long height = jpegtest::exiftool_number(json, "File:ImageHeight");
    jpegdata_t data;
    ASSERT_TRUE(data.load(path.c_str()));
    jpeginfo_t info;
    bool ok = false;
    std::string err = testenv::stderr_of([&] { ok = info.analyze_markers(data); });
    if (!ok) {
        // Only files libjpeg cannot read a header of: no frame, or none it supports.
        EXPECT_NE(err.find(path + ": jpeg decompress fail, stop.\n"), std::string::npos) << err;
        EXPECT_TRUE(width <= 0 || height <= 0 || path.find("monkey12") != std::string::npos) << err;
        return;
    }
    EXPECT_EQ(long(info.width), width);
    EXPECT_EQ(long(info.height), height);
    std::vector<jpegtest::segment_t> apps;
    for (const jpegtest::segment_t& s : jpegtest::segments(jpegtest::file_bytes(path)))
        if ((s.code >= 0xE0 && s.code <= 0xEF) || s.code == 0xFE) apps.push_back(s);
    ASSERT_EQ(info.markers.size(), apps.size());
    for (size_t i = 0; i < apps.size(); ++i) {
        EXPECT_EQ(info.markers[i].marker, apps[i].code) << i;
        EXPECT_EQ(std::string(info.markers[i].data.begin(), info.markers[i].data.end()),
                  apps[i].payload)
            << i;
    }
    // The EXIF segment is the first APP1.
    libutils::bytevector exif = info.get_marker(MARKER_APP1);
    const jpegtest::segment_t* first = nullptr;
    for (const jpegtest::segment_t& s : apps)
        if (s.code == 0xE1 && !first) first = &s;
    if (first) {
        ASSERT_EQ(exif.size(), first->payload.size());
        EXPECT_EQ(std::memcmp(exif.begin(), first->payload.data(), exif.size()), 0);
    } else {
        EXPECT_TRUE(exif.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Camera, CameraMarkers, testing::ValuesIn(testenv::camera_jpegs()),
                         [](const testing::TestParamInfo<std::string>& p) {
                             return jpegtest::test_name(p.param);
                         });

TEST(Markers, FirstApp1OfAFileWithExifAndXmpIsTheExif) {
    SKIP_WITHOUT_CAMERA_FILES();
    for (const char* name : {"Panasonic_DMC-LX3_Lumix.jpg", "canon_EOS5DMkIII__K6A7942.JPG"}) {
        std::string path = testenv::camera_dir() + "/" + name;
        jpegdata_t data;
        ASSERT_TRUE(data.load(path.c_str()));
        jpeginfo_t info;
        ASSERT_TRUE(info.analyze_markers(data));
        libutils::bytevector first = info.get_marker(1);
        ASSERT_GT(first.size(), 6u);
        EXPECT_EQ(std::memcmp(first.begin(), "Exif\0\0", 6), 0) << name;
        int app1 = 0;
        for (const jpeginfo_t::marker_t& m : info.markers) app1 += m.marker == 0xE1;
        EXPECT_EQ(app1, 2) << name;
    }
}

TEST(Markers, GetMarkerOfAnAbsentOrUnknownNumberIsEmpty) {
    jpegdata_t data;
    jpegtest::set_bytes(data, jpegfixture::make_jpeg(jpegfixture::options_t()));
    jpeginfo_t info;
    ASSERT_TRUE(info.analyze_markers(data));
    EXPECT_EQ(info.width, 64u);
    EXPECT_EQ(info.height, 48u);
    ASSERT_EQ(info.markers.size(), 1u);  // libjpeg's JFIF header
    EXPECT_EQ(info.get_marker(MARKER_APP0).size(), 14u);
    EXPECT_TRUE(info.get_marker(MARKER_APP1).empty());
    EXPECT_TRUE(info.get_marker(MARKER_COM).empty());
    EXPECT_TRUE(info.get_marker(17).empty());
    EXPECT_TRUE(info.get_marker(-1).empty());
}

TEST(Markers, MarkerTableMapsNumbersToCodes) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(marker_array[i].number, i);
        EXPECT_EQ(marker_array[i].code, 0xE0 + i);
    }
    EXPECT_EQ(marker_array[16].number, MARKER_COM);
    EXPECT_EQ(marker_array[16].code, 0xFE);
}

TEST(Markers, AnalysingAgainReplacesTheList) {
    jpegdata_t data;
    jpegtest::set_bytes(data, jpegfixture::make_jpeg(jpegfixture::options_t()));
    jpeginfo_t info;
    ASSERT_TRUE(info.analyze_markers(data));
    ASSERT_TRUE(info.analyze_markers(data));
    EXPECT_EQ(info.markers.size(), 1u);
}

TEST(Markers, KeepsEmptyAndLongSegments) {
    // SOI, an empty COM, a 60000-byte APP5, then the rest of a small file.
    std::vector<unsigned char> base = jpegfixture::make_jpeg(jpegfixture::options_t());
    std::vector<unsigned char> bytes = {0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x02, 0xFF, 0xE5};
    const size_t len = 60000;
    bytes.push_back((unsigned char)((len + 2) >> 8));
    bytes.push_back((unsigned char)((len + 2) & 0xFF));
    for (size_t i = 0; i < len; ++i) bytes.push_back((unsigned char)(i * 7));
    bytes.insert(bytes.end(), base.begin() + 2, base.end());
    jpegdata_t data;
    jpegtest::set_bytes(data, bytes);
    jpeginfo_t info;
    ASSERT_TRUE(info.analyze_markers(data));
    ASSERT_EQ(info.markers.size(), 3u);
    EXPECT_EQ(info.markers[0].marker, 0xFE);
    EXPECT_EQ(info.markers[0].data.size(), 0u);
    EXPECT_EQ(info.markers[1].marker, 0xE5);
    ASSERT_EQ(info.markers[1].data.size(), len);
    EXPECT_EQ(info.markers[1].data.begin()[len - 1], (unsigned char)((len - 1) * 7));
    // The decoder keeps only segments with data.
    image2d_t image;
    ASSERT_TRUE(info.decompress(image, data));
    ASSERT_EQ(info.markers.size(), 2u);
    EXPECT_EQ(info.markers[0].marker, 0xE5);
}

// The iterator over entropy-coded style bytes skips a stuffed zero after
// 0xFF, also after it has been moved by assignment, and never looks past the
// end of its range for one.
TEST(Markers, JpegIteratorSkipsStuffedZerosAfterAssignmentToo) {
    static_assert(!std::is_default_constructible<libgr::jpeg_iterator>::value,
                  "an iterator without a range could not skip stuffed zeros safely");
    const unsigned char bytes[] = {0x12, 0xFF, 0x00, 0x34, 0xFF, 0x00, 0x56, 0xFF};
    const unsigned char* end = bytes + sizeof bytes;
    libgr::jpeg_iterator it(bytes + 1, end);
    ++it;
    EXPECT_EQ(*it, 0x34);
    it = bytes + 4;
    ++it;
    EXPECT_EQ(*it, 0x56);
    ++it;
    EXPECT_EQ(it.get(), bytes + 7);
    ++it;  // 0xFF as the last byte: one step, nothing read beyond
    EXPECT_FALSE(it < end);
}

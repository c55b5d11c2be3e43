// The self-contained segment scanner: the walk, its refusals, and the decoded
// frame, table and scan headers, on hand-made streams, on libjpeg's output
// and on real camera files.
#include <gtest/gtest.h>

#include <map>

#include "exiftest.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using exiftest::buffer_of;
using exiftest::segment;
using exiftest::stderr_of;
using libgr::jpeginfo2_t;

namespace {

const std::string SOI("\xFF\xD8", 2);
const std::string EOI("\xFF\xD9", 2);

struct result_t {
    bool ok = false;
    std::string err;
};

result_t analyze(jpeginfo2_t& info, const std::string& bytes) {
    result_t r;
    libutils::bytevector b = buffer_of(bytes);
    r.err = stderr_of([&] { r.ok = info.analyze(b); });
    return r;
}

result_t analyze(const std::string& bytes) {
    jpeginfo2_t info;
    return analyze(info, bytes);
}

std::string bytes_of(const std::vector<unsigned char>& v) {
    return std::string(v.begin(), v.end());
}

// A minimal baseline header set for one grey component, then a scan.
std::string sof0(unsigned precision, const std::string& components, unsigned count) {
    std::string p;
    p += char(precision);
    p += std::string("\x00\x10\x00\x10", 4);
    p += char(count);
    return segment(0xFFC0, p + components);
}

const std::string grey_component("\x01\x11\x00", 3);
const std::string grey_scan = segment(0xFFDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));

}  // namespace

TEST(JpegScanner, RefusesWhatIsNoJpegStream) {
    struct row_t {
        const char* what;
        std::string bytes;
        const char* line;
    };
    const row_t rows[] = {
        {"7 bytes", SOI + EOI + std::string(3, '\0'), "too few size of JPEG.\n"},
        {"PNG signature", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "not JPEG data.\n"},
        {"segment past the end", SOI + std::string("\xFF\xE0\x00\x20", 4) + "abcdef",
         "broken JPEG data.\n"},
        {"length below 2", SOI + std::string("\xFF\xE0\x00\x01", 4) + std::string(4, 'x'),
         "broken JPEG data.\n"},
        {"length cut in half", SOI + segment(0xFFE0, "abcd") + std::string("\xFF\xE1\x00", 3),
         "broken JPEG data.\n"},
    };
    for (const row_t& r : rows) {
        result_t res = analyze(r.bytes);
        EXPECT_FALSE(res.ok) << r.what;
        EXPECT_EQ(res.err, r.line) << r.what;
    }
}

TEST(JpegScanner, SoiThenEoiIsAnEmptyStream) {
    jpeginfo2_t info;
    result_t r = analyze(info, SOI + EOI + std::string(4, '\0'));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(info.markers.empty());
}

TEST(JpegScanner, ShortHeaderPayloadsAreBrokenNotOverread) {
    struct row_t {
        const char* what;
        std::string segment;
        const char* line;
    };
    const row_t rows[] = {
        {"SOF0 of 5 bytes", segment(0xFFC0, std::string("\x08\x00\x10\x00\x10", 5)),
         "broken JPEG data.\n"},
        {"SOF0 naming 3 components with room for 1", sof0(8, grey_component, 3),
         "broken JPEG data.\n"},
        {"DQT of 64 bytes", segment(0xFFDB, std::string(64, '\x01')), "broken JPEG data.\n"},
        {"DQT empty", segment(0xFFDB, ""), "broken JPEG data.\n"},
        {"DQT of 5 tables", segment(0xFFDB, std::string(5 * 65, '\0')), "broken JPEG data.\n"},
        {"DHT cut in its counts", segment(0xFFC4, std::string("\x00\x01\x02", 3)),
         "broken JPEG data.\n"},
        {"DHT cut in its symbols",
         segment(0xFFC4, std::string("\x00\x00\x05", 3) + std::string(14, '\0') + "\x01\x02"),
         "broken JPEG data.\n"},
        // A stuffed 0xFF 0x00 counts as one symbol byte.
        {"DHT ending in a stuffed byte",
         segment(0xFFC4, std::string("\x00\x00\x03", 3) + std::string(14, '\0') +
                             std::string("\x01\xFF\x00", 3)),
         "broken JPEG data.\n"},
        {"DHT class 2", segment(0xFFC4, std::string("\x20", 1) + std::string(16, '\0')),
         "broken JPEG data.\n"},
        {"SOS of 3 bytes", segment(0xFFDA, std::string("\x01\x01\x00", 3)),
         "broken JPEG data.\nsos_marker.parse() fail.\n"},
        {"SOS naming 2 components with room for 1",
         segment(0xFFDA, std::string("\x02\x01\x00\x00\x3F\x00", 6)),
         "broken JPEG data.\nsos_marker.parse() fail.\n"},
    };
    for (const row_t& r : rows) {
        result_t res = analyze(SOI + r.segment + EOI + std::string(8, '\0'));
        EXPECT_FALSE(res.ok) << r.what;
        EXPECT_EQ(res.err, r.line) << r.what;
    }
}

TEST(JpegScanner, DhtDefiningMoreTablesThanItHoldsIsBroken) {
    std::string table = std::string("\x00", 1) + std::string(16, '\0');  // DC 0, no codes
    jpeginfo2_t info;
    result_t four =
        analyze(info, SOI + segment(0xFFC4, table + table + table + table) + EOI + "pad1");
    EXPECT_TRUE(four.ok) << four.err;
    EXPECT_EQ(info.dht_marker.n, 4u);
    result_t five =
        analyze(SOI + segment(0xFFC4, table + table + table + table + table) + EOI + "pad1");
    EXPECT_FALSE(five.ok);
    EXPECT_EQ(five.err, "broken JPEG data.\n");
}

TEST(JpegScanner, RefusesUnsupportedHeaderValues) {
    struct row_t {
        const char* what;
        std::string segments;
        const char* line;
    };
    const row_t rows[] = {
        {"12-bit SOF0", sof0(12, grey_component, 1),
         "not support JPEG data. sample_precision=12\n"},
        {"factors that do not divide", sof0(8, std::string("\x01\x32\x00\x02\x21\x00", 6), 2),
         "invalid JPEG data.\n"},
        {"factor 0", sof0(8, std::string("\x01\x01\x00", 3), 1), "invalid JPEG data.\n"},
        {"16-bit DQT", segment(0xFFDB, std::string("\x10", 1) + std::string(64, '\x01')),
         "not support JPEG data. DQT pq=1\n"},
        {"DQT table 4", segment(0xFFDB, std::string("\x04", 1) + std::string(64, '\x01')),
         "invalid JPEG data.\n"},
        {"zero-size symbol with a run",
         segment(0xFFC4, std::string("\x10\x01", 2) + std::string(15, '\0') + "\x30"),
         "huffman table error: run_length=3, data_bits=0\n"},
        {"AC table selector 2",
         sof0(8, grey_component, 1) + segment(0xFFDA, std::string("\x01\x01\x02\x00\x3F\x00", 6)),
         "invalid JPEG data.\nsos_marker.parse() fail.\n"},
        {"refinement scan",
         sof0(8, grey_component, 1) + segment(0xFFDA, std::string("\x01\x01\x00\x01\x3F\x10", 6)),
         "constant value illegal. ss=1, se=63, ah=1, al=0\nsos_marker.parse() fail.\n"},
    };
    for (const row_t& r : rows) {
        result_t res = analyze(SOI + r.segments + EOI + std::string(8, '\0'));
        EXPECT_FALSE(res.ok) << r.what;
        EXPECT_EQ(res.err, r.line) << r.what;
    }
}

TEST(JpegScanner, StopsAtTheFirstScan) {
    jpeginfo2_t info;
    std::string entropy("\x12\x34\xFF\x00\x56", 5);
    result_t r =
        analyze(info, SOI + sof0(8, grey_component, 1) + segment(0xFFDD, std::string("\0\x07", 2)) +
                          grey_scan + entropy + EOI);
    ASSERT_TRUE(r.ok) << r.err;
    ASSERT_EQ(info.markers.size(), 4u);
    EXPECT_EQ(info.markers[0].code, 0xFFC0);
    EXPECT_EQ(info.markers[1].code, 0xFFDD);
    EXPECT_EQ(info.markers[2].code, 0xFFDA);
    EXPECT_EQ(info.markers[3].code, 0);
    EXPECT_EQ(exiftest::text_of(info.scan_data), entropy + EOI);
    EXPECT_EQ(exiftest::text_of(info.markers[3].data), entropy + EOI);
    EXPECT_EQ(info.dri_marker.intervals, 7);
    EXPECT_EQ(info.sof0_marker.lines, 16);
    EXPECT_EQ(info.sos_marker.dht, &info.dht_marker);
}

TEST(JpegScanner, GetMarkerGivesTheFirstSegmentOfACode) {
    jpeginfo2_t info;
    std::string first = std::string("Exif\0\0", 6) + "II*";
    std::string second = "http://ns.adobe.com/xap/1.0/";
    ASSERT_TRUE(analyze(info, SOI + segment(0xFFE1, first) + segment(0xFFE1, second) +
                                  segment(0xFFFE, "note") + EOI + "pad")
                    .ok);
    EXPECT_EQ(exiftest::text_of(info.get_marker(libgr::marker_APP1)), first);
    EXPECT_EQ(exiftest::text_of(info.get_marker(libgr::marker_COM)), "note");
    EXPECT_TRUE(info.get_marker(0xFFE2).empty());
}

// libjpeg's own headers: quality 50 gives the example tables of the JPEG
// standard, and the default Huffman tables give known canonical codes.
TEST(JpegScanner, DecodesLibjpegHeaders) {
    jpegfixture::options_t o;
    o.width = 64;
    o.height = 48;
    o.quality = 50;
    o.restart_rows = 1;
    jpeginfo2_t info;
    result_t r = analyze(info, bytes_of(jpegfixture::make_jpeg(o)));
    ASSERT_TRUE(r.ok) << r.err;

    const libgr::sof0_marker_t& f = info.sof0_marker;
    EXPECT_EQ(f.precision, 8);
    EXPECT_EQ(f.samples, 64);
    EXPECT_EQ(f.lines, 48);
    ASSERT_EQ(f.colors, 3);
    EXPECT_EQ(f.component[0].horiz_factor, 2);
    EXPECT_EQ(f.component[0].verts_factor, 2);
    EXPECT_EQ(f.component[1].horiz_factor, 1);
    EXPECT_EQ(f.component[2].quatable_sel, 1);
    EXPECT_EQ(f.max_horiz, 2);
    EXPECT_EQ(f.max_verts, 2);

    const unsigned char luminance[64] = {
        16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
        14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
        18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
        49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    for (int k = 0; k < 64; ++k) EXPECT_EQ(info.dqt_marker.table[0][k], luminance[k]) << k;

    const libgr::huffman_t& dc = info.dht_marker.huffman[libgr::dht_marker_t::DC0];
    ASSERT_EQ(dc.data.size(), 12u);
    const uint16_t codes[12] = {0, 2, 3, 4, 5, 6, 14, 30, 62, 126, 254, 510};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(dc.data[i].code, codes[i]) << i;
        EXPECT_EQ(dc.data[i].data_bits, i);
    }
    const libgr::huffman_t& ac = info.dht_marker.huffman[libgr::dht_marker_t::AC0];
    ASSERT_EQ(ac.data.size(), 162u);
    EXPECT_EQ(ac.data[0].code, 0);  // 0/1 and 0/2 have the two 2-bit codes
    EXPECT_EQ(ac.data[0].data_bits, 1);
    EXPECT_EQ(ac.data[2].code, 4);  // 0/3, the one 3-bit code
    EXPECT_EQ(ac.data[3].run_length, 0);
    EXPECT_EQ(ac.data[3].data_bits, 0);  // end of block, the first 4-bit code
    EXPECT_EQ(ac.data[3].code, 10);

    EXPECT_EQ(info.dri_marker.intervals, 4);  // one row of four 16x16 MCUs
    EXPECT_EQ(info.sos_marker.ns, 3);
    EXPECT_EQ(info.sos_marker.element[1].dc_selector, 1);
    EXPECT_EQ(info.sos_marker.element[1].ac_selector, 1);
}

TEST(JpegScanner, AcceptsGreyAndRefusesProgressiveFixtures) {
    jpegfixture::options_t o;
    o.components = 1;
    jpeginfo2_t info;
    result_t grey = analyze(info, bytes_of(jpegfixture::make_jpeg(o)));
    EXPECT_TRUE(grey.ok) << grey.err;
    EXPECT_EQ(info.sof0_marker.colors, 1);
    EXPECT_EQ(info.sos_marker.ns, 1);

    o.components = 3;
    o.progressive = true;
    result_t prog = analyze(bytes_of(jpegfixture::make_jpeg(o)));
    EXPECT_FALSE(prog.ok);
    EXPECT_EQ(prog.err,
              "constant value illegal. ss=0, se=0, ah=0, al=1\nsos_marker.parse() fail.\n");
}

// Every sequential camera photo is taken, with the frame size that exiftool
// reads; the progressive one is refused at its first scan.
TEST(JpegScanner, CameraFiles) {
    SKIP_WITHOUT_CAMERA_FILES();
    const std::map<std::string, std::string> refused = {
        {"Olympus_C750UZ_Issue_609.jpg",
         "constant value illegal. ss=0, se=0, ah=0, al=1\nsos_marker.parse() fail.\n"},
        // 32 stray bytes before the APP1 segment are read as a segment.
        {"canon_S5IS_issue_1912_poc.jpg", "broken JPEG data.\n"},
    };
    int checked = 0;
    for (const std::string& path : testenv::camera_jpegs()) {
        std::string name = path.substr(path.rfind('/') + 1);
        libgr::jpegdata2_t data;
        ASSERT_TRUE(data.load(path.c_str())) << path;
        jpeginfo2_t info;
        bool ok = false;
        std::string err = stderr_of([&] { ok = info.analyze(data); });
        auto it = refused.find(name);
        if (it != refused.end()) {
            EXPECT_FALSE(ok) << name;
            EXPECT_EQ(err, it->second) << name;
            continue;
        }
        EXPECT_TRUE(ok) << name << ": " << err;
        EXPECT_EQ(err, "") << name;
        ++checked;
        // Frame codes other than SOF0 (12-bit, arithmetic, DNL) are only listed.
        bool baseline = false;
        for (const auto& m : info.markers) baseline |= m.code == libgr::marker_SOF0;
        if (!baseline) continue;
        std::string json = testenv::read_file(path + ".exiftool.json");
        std::string width =
            "\"File:ImageWidth\": " + std::to_string(info.sof0_marker.samples) + ",";
        std::string height =
            "\"File:ImageHeight\": " + std::to_string(info.sof0_marker.lines) + ",";
        EXPECT_NE(json.find(width), std::string::npos) << name << " " << width;
        EXPECT_NE(json.find(height), std::string::npos) << name << " " << height;
    }
    EXPECT_GT(checked, 40);
}

// monkey12.jpg is extended sequential (SOF1): its frame is only listed. With
// its frame code turned into SOF0 the precision is refused.
TEST(JpegScanner, TwelveBitFrames) {
    SKIP_WITHOUT_CAMERA_FILES();
    std::string bytes = testenv::read_file(testenv::camera_dir() + "/monkey12.jpg");
    jpeginfo2_t info;
    result_t as_is = analyze(info, bytes);
    EXPECT_TRUE(as_is.ok) << as_is.err;
    EXPECT_TRUE(info.get_marker(libgr::marker_SOF0).empty());
    EXPECT_FALSE(info.get_marker(0xFFC1).empty());

    size_t sof1 = bytes.find(std::string("\xFF\xC1", 2));
    ASSERT_NE(sof1, std::string::npos);
    bytes[sof1 + 1] = '\xC0';
    result_t patched = analyze(bytes);
    EXPECT_FALSE(patched.ok);
    EXPECT_EQ(patched.err, "not support JPEG data. sample_precision=12\n");
}

// libgr::transform at its edges: what the output holds, partial MCUs, refused
// counts, and input that is cut off, corrupt or not a JPEG at all.
#include <gtest/gtest.h>

#include <random>

#include "jpegcoefs.h"
#include "libgr/jpeg/transupp.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "turn.h"

namespace {

std::string fixture(int width, int height, int h = 2, int v = 2, bool progressive = false) {
    jpegfixture::options_t o;
    o.width = width;
    o.height = height;
    o.h_samp = h;
    o.v_samp = v;
    o.progressive = progressive;
    std::vector<unsigned char> b = jpegfixture::make_jpeg(o);
    return std::string(b.begin(), b.end());
}

jpegcoefs::coefs_t coefficients(const std::string& bytes) {
    jpegcoefs::coefs_t c;
    std::string error;
    EXPECT_TRUE(jpegcoefs::read(c, bytes, &error)) << error;
    return c;
}

std::string segment(int code, const std::string& payload) {
    size_t len = payload.size() + 2;
    return std::string{'\xFF', (char)code, (char)(len >> 8), (char)(len & 0xFF)} + payload;
}

TEST(TransformEdge, CountZeroKeepsCoefficientsAndDropsSegments) {
    std::string in = fixture(40, 24);
    // EXIF-like APP1 and a comment right after SOI.
    in.insert(2, segment(0xE1, std::string("Exif\0\0MM\0*\0\0\0\x08\0\0", 16)) +
                     segment(0xFE, "a comment"));
    turn::result_t r = turn::transform(0, in);
    ASSERT_TRUE(r.ok) << r.messages;
    EXPECT_EQ(r.messages, "");
    EXPECT_EQ(jpegcoefs::compare(coefficients(r.bytes), coefficients(in)), "");
    std::vector<std::pair<int, size_t>> markers = jpegcoefs::header_markers(r.bytes);
    ASSERT_FALSE(markers.empty());
    EXPECT_EQ(markers[0].first, 0xE0);  // libjpeg's own JFIF header
    for (size_t i = 1; i < markers.size(); ++i) {
        int code = markers[i].first;
        EXPECT_FALSE((code >= 0xE0 && code <= 0xEF) || code == 0xFE) << std::hex << code;
    }
}

TEST(TransformEdge, QuarterTurnExchangesSidesSamplingAndTables) {
    for (auto [w, h, hs, vs] : {std::tuple{4032, 3024, 2, 2}, {64, 48, 2, 1}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        std::string in = fixture(w, h, hs, vs);
        jpegcoefs::coefs_t a = coefficients(in);
        for (unsigned long n : {1ul, 3ul}) {
            turn::result_t r = turn::transform(n, in);
            ASSERT_TRUE(r.ok) << r.messages;
            jpegcoefs::coefs_t b = coefficients(r.bytes);
            EXPECT_EQ(b.width, (unsigned)h);
            EXPECT_EQ(b.height, (unsigned)w);
            ASSERT_EQ(b.comps.size(), 3u);
            EXPECT_EQ(b.comps[0].h_samp, vs);
            EXPECT_EQ(b.comps[0].v_samp, hs);
            for (int i = 0; i < DCTSIZE; ++i)
                for (int j = 0; j < DCTSIZE; ++j)
                    EXPECT_EQ(b.comps[0].quant[i * 8 + j], a.comps[0].quant[j * 8 + i]);
        }
    }
}

// 2999 is 187 whole 16-pixel MCUs and 7 pixels: turned clockwise, the source's
// last partial MCU row becomes the last output column, transposed in place
// rather than mirrored to the left edge, and the width stays 2999.
TEST(TransformEdge, PartialMcuColumnIsTransposedNotMirrored) {
    std::string in = fixture(4000, 2999);
    turn::result_t r = turn::transform(1, in);
    ASSERT_TRUE(r.ok) << r.messages;
    jpegcoefs::coefs_t src = coefficients(in), dst = coefficients(r.bytes);
    ASSERT_EQ(dst.width, 2999u);
    ASSERT_EQ(dst.height, 4000u);
    for (size_t ci = 0; ci < 3; ++ci) {
        SCOPED_TRACE("component " + std::to_string(ci));
        const jpegcoefs::component_t &s = src.comps[ci], &d = dst.comps[ci];
        unsigned whole = 2999 / 16 * (unsigned)d.h_samp;  // blocks in whole MCU columns
        ASSERT_EQ(d.width_in_blocks, s.height_in_blocks);
        ASSERT_GT(d.width_in_blocks, whole);
        int wrong = 0;
        for (unsigned y = 0; y < d.height_in_blocks; ++y) {
            for (unsigned x = 0; x < d.width_in_blocks; ++x) {
                bool mirrored = x < whole;
                const JCOEF* a = s.block(y, mirrored ? whole - 1 - x : x);
                const JCOEF* b = d.block(x, y);
                for (int i = 0; i < 8; ++i)
                    for (int j = 0; j < 8; ++j)
                        wrong +=
                            b[i * 8 + j] != (mirrored && (j & 1) ? -a[j * 8 + i] : a[j * 8 + i]);
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(TransformEdge, CountOfFourOrMoreIsRefused) {
    std::string in = fixture(16, 16);
    for (unsigned long n : {4ul, 5ul, 4294967295ul}) {
        turn::result_t r = turn::transform(n, in);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages, std::to_string(n) + ": jpeg transform rightrotate count over.\n");
    }
}

TEST(TransformEdge, SourceMayBeTheDestination) {
    std::string in = fixture(40, 24);
    libgr::jpegdata_t data = turn::holding(in, "same.jpg");
    ASSERT_TRUE(libgr::transform(1, data, data));
    std::string got(reinterpret_cast<const char*>(data.begin()), data.size());
    EXPECT_EQ(got, turn::transform(1, in).bytes);
}

// --- bad input ------------------------------------------------------------

struct bad_case_t {
    std::string name;
    std::string bytes;
    bool header_error;  // libjpeg stops ("error detected.") rather than warns
};

std::vector<bad_case_t> bad_inputs() {
    std::string good = fixture(64, 48);
    size_t sos = jpegcoefs::header_markers(good).back().second;
    std::string random(4096, '\0');
    std::mt19937 gen(7);
    for (char& c : random) c = (char)(gen() & 0xFF);
    std::string png(
        "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0\x90\x91\x68\x36", 33);
    return {
        {"empty", "", true},
        {"PNG", png, true},
        {"random", random, true},
        {"text", "hello, world\n", true},
        {"SOI only", good.substr(0, 2), true},
        {"cut in APP0", good.substr(0, 20), true},
        {"cut before the scan", good.substr(0, sos), true},
        {"cut in the scan header", good.substr(0, sos + 6), false},
        {"cut in the scan", good.substr(0, (sos + good.size()) / 2), false},
        {"cut before EOI", good.substr(0, good.size() - 2), false},
        {"random after SOI", good.substr(0, 2) + random, true},
    };
}

TEST(TransformEdge, BadInputFailsWithMessages) {
    for (const bad_case_t& c : bad_inputs()) {
        SCOPED_TRACE(c.name);
        for (unsigned long n = 0; n < 4; ++n) {
            turn::result_t r = turn::transform(n, c.bytes, "bad.jpg");
            EXPECT_FALSE(r.ok);
            EXPECT_TRUE(r.bytes.empty());
            if (c.header_error) {
                // Our line, then libjpeg's reason (after any warnings).
                size_t at = r.messages.find("bad.jpg: error detected.\n");
                EXPECT_TRUE(at == 0 || (at != std::string::npos && r.messages[at - 1] == '\n'))
                    << r.messages;
                EXPECT_GT(r.messages.size(), at + 26) << r.messages;
            } else {
                // Read to the end with a made-up EOI: libjpeg's warning, and
                // false because warnings were counted.
                EXPECT_NE(r.messages.find("Premature end of JPEG file"), std::string::npos)
                    << r.messages;
            }
        }
    }
}

// A quantisation table redefined between the scans of a progressive file:
// the decoder accepts it, the encoder cannot write it. The encoder's error
// is reported and the program goes on.
TEST(TransformEdge, EncoderErrorIsReportedNotFatal) {
    std::string in = fixture(32, 32, 2, 2, true);
    size_t dqt = in.find("\xFF\xDB", 0);
    ASSERT_NE(dqt, std::string::npos);
    std::string table = in.substr(dqt, 69);  // FF DB, length 67, Pq/Tq, 64 values
    ASSERT_EQ(table[4], '\0');               // 8-bit table 0
    table[5] = (char)((unsigned char)table[5] ^ 1);
    in.insert(in.rfind("\xFF\xDA"), table);
    turn::result_t r = turn::transform(1, in, "redefined.jpg");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(r.messages.rfind("redefined.jpg: jpeg compress fail, ", 0), 0u) << r.messages;
    if (testenv::have_program("jpegtran")) {
        std::string path = testenv::scratch_dir("redefined") + "/redefined.jpg";
        ASSERT_TRUE(testenv::write_file(path, in));
        int status = -1;
        turn::jpegtran(1, path, &status);
        EXPECT_EQ(status, 1);  // jpegtran gives up on it too
    }
}

// With `perfect`, the engine refuses a turn that would leave a partial edge
// MCU unmirrored: 4000x2999 4:2:0 has a partial MCU row (mirrored by 90 and
// 180) but whole MCU columns (mirrored by 270).
TEST(TransformEdge, PerfectRequestRefusesPartialEdges) {
    std::string in = fixture(4000, 2999);
    struct {
        libgr::JXFORM_CODE code;
        bool accepted;
    } cases[] = {{libgr::JXFORM_NONE, true},
                 {libgr::JXFORM_ROT_90, false},
                 {libgr::JXFORM_ROT_180, false},
                 {libgr::JXFORM_ROT_270, true}};
    for (auto c : cases) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(in.data()), in.size());
        ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
        libgr::jpeg_transform_info info;
        info.transform = c.code;
        info.perfect = true;
        EXPECT_EQ(libgr::jtransform_request_workspace(&cinfo, &info), c.accepted) << c.code;
        jpeg_destroy_decompress(&cinfo);
    }
}

}  // namespace

// libgr::transform checked byte for byte against libjpeg-turbo's jpegtran,
// and by the coefficients of round trips.
#include <gtest/gtest.h>

#include "jpegcoefs.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "turn.h"

namespace {

std::string file_name(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// Turns the file by 0 to 3 quarter turns with both tools and expects the same
// bytes. Where jpegtran stops with an error we must fail too; where it only
// warns (cut-off or corrupt data) we fail, as a warning means blocks were
// made up. Returns how many turns gave identical bytes.
int expect_same_as_jpegtran(const std::string& path) {
    std::string bytes = testenv::read_file(path);
    int same = 0;
    for (unsigned long n = 0; n < 4; ++n) {
        SCOPED_TRACE(file_name(path) + " turned " + std::to_string(n));
        int status = -1;
        std::string expected = turn::jpegtran(n, path, &status);
        turn::result_t got = turn::transform(n, bytes, path.c_str());
        if (status == 0) {
            EXPECT_TRUE(got.ok) << got.messages;
            if (got.bytes == expected) {
                ++same;
                continue;
            }
            jpegcoefs::coefs_t a, b;
            std::string diff = jpegcoefs::read(a, got.bytes) && jpegcoefs::read(b, expected)
                                   ? jpegcoefs::compare(a, b)
                                   : "unreadable";
            ADD_FAILURE() << "bytes differ from jpegtran's; coefficients: "
                          << (diff.empty() ? "equal" : diff);
        } else {
            EXPECT_FALSE(got.ok) << "jpegtran exit status " << status;
            EXPECT_TRUE(got.bytes.empty());
            EXPECT_FALSE(got.messages.empty());
            if (status == 1) {
                EXPECT_NE(got.messages.find(path + ": error detected.\n"), std::string::npos);
            }
        }
    }
    return same;
}

TEST(Transform, CameraFilesTurnLikeJpegtran) {
    SKIP_WITHOUT_CAMERA_FILES();
    SKIP_WITHOUT_PROGRAM("jpegtran");
    int same = 0;
    std::vector<std::string> files = testenv::camera_jpegs();
    for (const std::string& f : files) same += expect_same_as_jpegtran(f);
    // Most of the folder is ordinary camera files that both tools turn.
    EXPECT_GE(same, 2 * (int)files.size());
}

struct fixture_case_t {
    const char* name;
    int width, height, components, h, v;
    int restart_rows;
    bool progressive, optimize;
};

// Sizes that are and are not whole MCUs, every common sampling, restart
// markers, progressive and optimised input.
const fixture_case_t k_fixtures[] = {
    {"4032x3024 4:2:0", 4032, 3024, 3, 2, 2, 0, false, false},
    {"4000x2999 4:2:0 restarts", 4000, 2999, 3, 2, 2, 3, false, false},
    {"17x9 4:2:0", 17, 9, 3, 2, 2, 0, false, false},
    {"17x9 4:2:2", 17, 9, 3, 2, 1, 0, false, false},
    {"17x9 4:4:0", 17, 9, 3, 1, 2, 0, false, false},
    {"17x9 4:4:4", 17, 9, 3, 1, 1, 0, false, false},
    {"17x9 grey", 17, 9, 1, 1, 1, 0, false, false},
    {"1x1 4:2:0", 1, 1, 3, 2, 2, 0, false, false},
    {"1x1 grey", 1, 1, 1, 1, 1, 0, false, false},
    {"33x47 4:2:0 restarts", 33, 47, 3, 2, 2, 1, false, false},
    {"33x47 4:2:2 restarts", 33, 47, 3, 2, 1, 1, false, false},
    {"33x47 4:4:4 progressive", 33, 47, 3, 1, 1, 0, true, false},
    {"33x47 grey restarts", 33, 47, 1, 1, 1, 1, false, false},
    {"47x33 4:2:0 progressive", 47, 33, 3, 2, 2, 0, true, false},
    {"64x48 4:2:0 optimised", 64, 48, 3, 2, 2, 0, false, true},
    {"64x48 4:2:2", 64, 48, 3, 2, 1, 0, false, false},
    {"64x48 CMYK", 64, 48, 4, 1, 1, 0, false, false},
    {"250x7 grey progressive", 250, 7, 1, 1, 1, 0, true, false},
};

TEST(Transform, GeneratedFilesTurnLikeJpegtran) {
    SKIP_WITHOUT_PROGRAM("jpegtran");
    std::string dir = testenv::scratch_dir("fixtures");
    for (const fixture_case_t& c : k_fixtures) {
        SCOPED_TRACE(c.name);
        jpegfixture::options_t o;
        o.width = c.width;
        o.height = c.height;
        o.components = c.components;
        o.h_samp = c.h;
        o.v_samp = c.v;
        o.restart_rows = c.restart_rows;
        o.progressive = c.progressive;
        o.optimize = c.optimize;
        std::string path = dir + "/" + std::to_string(c.width) + "x" + std::to_string(c.height) +
                           "-" + std::to_string(&c - k_fixtures) + ".jpg";
        ASSERT_TRUE(jpegfixture::write_jpeg(path, o));
        EXPECT_EQ(expect_same_as_jpegtran(path), 4);
    }
}

// Samplings the fixture writer does not make (grey with factors other than
// 1x1, 4:1:1, 3x1), written by cjpeg.
TEST(Transform, CjpegFilesTurnLikeJpegtran) {
    SKIP_WITHOUT_PROGRAM("jpegtran");
    SKIP_WITHOUT_PROGRAM("cjpeg");
    std::string dir = testenv::scratch_dir("cjpeg");
    const char* samplings[] = {"-grayscale -sample 2x2",
                               "-grayscale -sample 1x2",
                               "-sample 4x1",
                               "-sample 1x4",
                               "-sample 3x1",
                               "-sample 2x2 -restart 1B"};
    for (int grey = 0; grey < 2; ++grey) {
        for (auto [w, h] : {std::pair<int, int>{100, 7}, {24, 40}, {9, 1}}) {
            jpegfixture::options_t o;
            o.width = w;
            o.height = h;
            o.components = grey ? 1 : 3;
            std::string pnm =
                dir + "/" + std::to_string(w) + "x" + std::to_string(h) + (grey ? ".pgm" : ".ppm");
            ASSERT_TRUE(jpegfixture::write_pnm(pnm, w, h, o.components, jpegfixture::pattern(o)));
            for (size_t i = 0; i < std::size(samplings); ++i) {
                std::string s = samplings[i];
                if (grey != (s.find("grayscale") != std::string::npos)) continue;
                SCOPED_TRACE(pnm + " " + s);
                std::string jpg = pnm + std::to_string(i) + ".jpg";
                ASSERT_EQ(testenv::run("cjpeg " + s + " -outfile " + testenv::shell_quote(jpg) +
                                       " " + testenv::shell_quote(pnm)),
                          0);
                EXPECT_EQ(expect_same_as_jpegtran(jpg), 4);
            }
        }
    }
}

// A JFIF header with unequal densities: the turned file keeps them as they
// were, as jpegtran does.
TEST(Transform, JfifDensityIsCopiedLikeJpegtran) {
    SKIP_WITHOUT_PROGRAM("jpegtran");
    jpegfixture::options_t o;
    o.width = 48;
    o.height = 32;
    std::vector<unsigned char> bytes = jpegfixture::make_jpeg(o);
    ASSERT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 11), std::string("JFIF\0", 5));
    const unsigned char density[] = {1, 0, 72, 0, 96};  // dots per inch, 72 x 96
    std::copy(density, density + 5, bytes.begin() + 13);
    std::string path = testenv::scratch_dir("jfif") + "/density.jpg";
    ASSERT_TRUE(testenv::write_file(path, std::string(bytes.begin(), bytes.end())));
    EXPECT_EQ(expect_same_as_jpegtran(path), 4);
}

// --- round trips ----------------------------------------------------------

jpegcoefs::coefs_t coefficients(const std::string& bytes) {
    jpegcoefs::coefs_t c;
    std::string error;
    EXPECT_TRUE(jpegcoefs::read(c, bytes, &error)) << error;
    return c;
}

std::string turned(const std::string& bytes, std::initializer_list<unsigned long> counts) {
    std::string b = bytes;
    for (unsigned long n : counts) {
        turn::result_t r = turn::transform(n, b);
        EXPECT_TRUE(r.ok) << r.messages;
        b = r.bytes;
    }
    return b;
}

TEST(Transform, TurnsThatAddUpToNoneGiveBackTheCoefficients) {
    struct picture_t {
        int width, height, components, h, v;
    } pictures[] = {
        {4032, 3024, 3, 2, 2}, {64, 48, 3, 2, 2}, {64, 48, 3, 2, 1},
        {48, 64, 3, 1, 2},     {40, 24, 3, 1, 1}, {40, 24, 1, 1, 1},
    };
    for (const picture_t& p : pictures) {
        jpegfixture::options_t o;
        o.width = p.width;
        o.height = p.height;
        o.components = p.components;
        o.h_samp = p.h;
        o.v_samp = p.v;
        std::vector<unsigned char> v = jpegfixture::make_jpeg(o);
        std::string in(v.begin(), v.end());
        jpegcoefs::coefs_t original = coefficients(in);
        const std::initializer_list<unsigned long> chains[] = {
            {1, 3}, {3, 1}, {2, 2}, {1, 1, 1, 1}, {1, 2, 1}};
        for (const auto& chain : chains) {
            std::string name = std::to_string(p.width) + "x" + std::to_string(p.height) + " by";
            for (unsigned long n : chain) name += " " + std::to_string(n);
            SCOPED_TRACE(name);
            EXPECT_EQ(jpegcoefs::compare(coefficients(turned(in, chain)), original), "");
        }
    }
}

}  // namespace

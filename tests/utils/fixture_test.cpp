#include <gtest/gtest.h>

#include "support/jpegfixture.h"
#include "support/testenv.h"

// The fixture generator itself, checked with libjpeg-turbo's djpeg.
TEST(Fixture, GeneratedJpegsDecodeWithDjpeg) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    std::string dir = testenv::scratch_dir();
    jpegfixture::options_t o;
    o.width = 17;
    o.height = 9;
    o.restart_rows = 1;
    ASSERT_TRUE(jpegfixture::write_jpeg(dir + "/a.jpg", o));
    std::string out;
    ASSERT_EQ(testenv::run("djpeg -ppm " + dir + "/a.jpg | head -c 2", &out), 0);
    EXPECT_EQ(out, "P6");
    o.components = 1;
    o.progressive = true;
    ASSERT_TRUE(jpegfixture::write_jpeg(dir + "/g.jpg", o));
    ASSERT_EQ(testenv::run("djpeg -pnm " + dir + "/g.jpg | head -c 2", &out), 0);
    EXPECT_EQ(out, "P5");
}

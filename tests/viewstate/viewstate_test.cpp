// The viewer driven from outside under X (tests/support/xdriver): a turned
// and zoomed view remembered with "w" comes back pixel for pixel on the next
// start, "d" forgets it, and "s" writes IMG_1.vue.1.jpg then IMG_1.vue.2.jpg.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "support/xdriver.h"

namespace {

bool start(xdriver::app_t& app, const std::string& dir, const std::string& picture) {
    return app.start({testenv::bin_dir() + "/glimvue3", "-resizetype", "0", "-frametype", "0",
                      "-winsize", "320x240", "-g", "+0+0", picture},
                     dir, dir);
}

}  // namespace

TEST(ViewState, RememberedViewComesBackAndScreenshotsCountUp) {
    std::string why = xdriver::unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    std::string dir = testenv::scratch_dir("vue"), picture = dir + "/IMG_1.JPG";
    jpegfixture::options_t o;
    o.width = 200, o.height = 150;
    ASSERT_TRUE(jpegfixture::write_jpeg(picture, o));

    xdriver::shot_t plain, viewed, shot;
    {
        xdriver::app_t first;
        ASSERT_TRUE(start(first, dir, picture));
        ASSERT_TRUE(first.capture_settled(plain));
        first.key("slash slash slash 1 Right Right Up");  // turn 15 degrees, zoom out, move
        ASSERT_TRUE(first.capture_settled(viewed));
        EXPECT_FALSE(viewed == plain);
        first.key("w");
        first.key("s");
        first.key("s");
        first.capture_settled(shot);
        EXPECT_TRUE(testenv::exists(dir + "/IMG_1.vue"));
        EXPECT_TRUE(testenv::exists(dir + "/IMG_1.vue.1.jpg"));
        EXPECT_TRUE(testenv::exists(dir + "/IMG_1.vue.2.jpg"));
        EXPECT_FALSE(testenv::exists(dir + "/IMG_1.vue.3.jpg"));
        first.key("q");
        EXPECT_EQ(first.wait_exit(), 0);
    }

    // The screenshot is what the window showed, give or take JPEG's loss.
    std::string jpeg;
    ASSERT_EQ(testenv::run("convert " + testenv::shell_quote(dir + "/IMG_1.vue.1.jpg") + " -depth 8 rgb:-", &jpeg), 0);
    ASSERT_EQ(jpeg.size(), viewed.rgb.size());
    long error = 0;
    for (size_t i = 0; i < jpeg.size(); ++i) error += std::abs(int((unsigned char)jpeg[i]) - int(viewed.rgb[i]));
    EXPECT_LT(double(error) / double(jpeg.size()), 4.0);

    {
        xdriver::app_t second;
        ASSERT_TRUE(start(second, dir, picture));
        ASSERT_TRUE(second.capture_settled(shot));
        EXPECT_TRUE(shot == viewed) << "the remembered view differs";
        second.key("d");
        second.key("q");
        EXPECT_EQ(second.wait_exit(), 0);
    }
    EXPECT_FALSE(testenv::exists(dir + "/IMG_1.vue"));
    xdriver::app_t third;
    ASSERT_TRUE(start(third, dir, picture));
    ASSERT_TRUE(third.capture_settled(shot));
    EXPECT_TRUE(shot == plain) << "a forgotten view is centred again";
}

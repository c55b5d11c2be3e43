// The viewer driven from outside with xdotool under X: a turned and zoomed
// view remembered with "w" comes back pixel for pixel on the next start, "d"
// forgets it, and "s" writes IMG_1.vue.1.jpg then IMG_1.vue.2.jpg.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/jpegfixture.h"
#include "support/testenv.h"

namespace {

using testenv::shell_quote;

bool wait_until(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// One run of the viewer on one picture, with its own home folder.
class viewer_t {
    std::string m_dir;

  public:
    std::string window;

    viewer_t(const std::string& dir, const std::string& picture) : m_dir(dir) {
        std::string cmd = "(env HOME=" + shell_quote(dir) + " ASAN_OPTIONS=detect_leaks=0 " +
                          shell_quote(testenv::bin_dir() + "/glimvue3") +
                          " -resizetype 0 -frametype 0 -winsize 320x240 -g +0+0 " + shell_quote(picture) +
                          " >" + shell_quote(dir + "/out") + " 2>&1; echo $? >" + shell_quote(dir + "/status") +
                          ") </dev/null >/dev/null 2>&1 &";
        testenv::run("rm -f " + shell_quote(dir + "/status"));
        testenv::run(cmd);
        wait_until([&] {
            return testenv::run("xdotool search --onlyvisible --name " + shell_quote("IMG_1.JPG") + " 2>/dev/null",
                                &window) == 0 && !window.empty();
        }, 60);
        window = window.substr(0, window.find('\n'));
        // Visible comes before the first frame is drawn.
        wait_until([&] { return pixels().find_first_not_of('\0') != std::string::npos; }, 30);
    }
    void keys(const std::string& keys) {
        testenv::run("timeout 10 xdotool windowfocus --sync " + window + " key --delay 50 " + keys + " 2>/dev/null");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    // What the window shows, as raw RGB bytes.
    std::string pixels() {
        std::string out;
        testenv::run("timeout 10 import -window " + window + " -depth 8 rgb:- 2>/dev/null", &out);
        return out;
    }
    bool quit() {
        keys("q");
        return wait_until([&] { return testenv::exists(m_dir + "/status"); }, 30);
    }
};

}  // namespace

TEST(ViewState, RememberedViewComesBackAndScreenshotsCountUp) {
    if (!getenv("DISPLAY")) GTEST_SKIP() << "no X display: run under xvfb-run";
    SKIP_WITHOUT_PROGRAM("xdotool");
    SKIP_WITHOUT_PROGRAM("import");
    std::string dir = testenv::scratch_dir("vue"), picture = dir + "/IMG_1.JPG";
    jpegfixture::options_t o;
    o.width = 200, o.height = 150;
    ASSERT_TRUE(jpegfixture::write_jpeg(picture, o));

    viewer_t first(dir, picture);
    ASSERT_FALSE(first.window.empty()) << testenv::read_file(dir + "/out");
    std::string plain = first.pixels();
    first.keys("slash slash slash 1 Right Right Up");  // turn 15 degrees, zoom out, move
    std::string viewed = first.pixels();
    ASSERT_FALSE(viewed.empty());
    EXPECT_NE(viewed, plain);
    first.keys("w");
    EXPECT_TRUE(testenv::exists(dir + "/IMG_1.vue"));
    first.keys("s s");
    EXPECT_TRUE(testenv::exists(dir + "/IMG_1.vue.1.jpg"));
    EXPECT_TRUE(testenv::exists(dir + "/IMG_1.vue.2.jpg"));
    EXPECT_FALSE(testenv::exists(dir + "/IMG_1.vue.3.jpg"));
    ASSERT_TRUE(first.quit());

    // The screenshot is what the window showed (give or take JPEG's loss).
    std::string shot;
    ASSERT_EQ(testenv::run("convert " + shell_quote(dir + "/IMG_1.vue.1.jpg") + " -depth 8 rgb:-", &shot), 0);
    ASSERT_EQ(shot.size(), viewed.size());
    long error = 0;
    for (size_t i = 0; i < shot.size(); ++i) error += std::abs(int((unsigned char)shot[i]) - int((unsigned char)viewed[i]));
    EXPECT_LT(double(error) / double(shot.size()), 4.0);

    viewer_t second(dir, picture);
    ASSERT_FALSE(second.window.empty());
    EXPECT_TRUE(second.pixels() == viewed) << "the remembered view differs";
    second.keys("d");
    EXPECT_FALSE(testenv::exists(dir + "/IMG_1.vue"));
    ASSERT_TRUE(second.quit());

    viewer_t third(dir, picture);
    EXPECT_TRUE(third.pixels() == plain) << "a forgotten view is centred again";
    ASSERT_TRUE(third.quit());
    EXPECT_EQ(testenv::read_file(dir + "/status"), "0\n");
}

// The real glimvue3 under an X server, driven from outside with xdotool and
// read back from the screen (skipped without a display). Each test starts
// the program once; HOME is a scratch folder so no user defaults apply.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "libgr/imagefile/imagejpeg.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "support/xdriver.h"
#include "xdnd_source.h"

namespace {

#define SKIP_WITHOUT_X()                                                 \
    do {                                                                 \
        std::string why = xdriver::unavailable();                        \
        if (!why.empty()) GTEST_SKIP() << why;                           \
    } while (0)

std::string program() { return testenv::bin_dir() + "/glimvue3"; }

std::string make_jpeg(const std::string& path, int w, int h, unsigned seed = 1) {
    jpegfixture::options_t o;
    o.width = w, o.height = h, o.seed = seed;
    EXPECT_TRUE(jpegfixture::write_jpeg(path, o));
    return path;
}

std::vector<std::string> args(std::vector<std::string> words) {
    words.insert(words.begin(), program());
    return words;
}

}  // namespace

TEST(ViewerProgram, HelpPrintsTheListingAndExitsWithoutADisplay) {
    std::string out;
    int rc = testenv::run("env -u DISPLAY " + testenv::shell_quote(program()) + " -h a.jpg", &out);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out.rfind("usage: ", 0), 0u) << out;
    EXPECT_NE(out.find("\n-single "), std::string::npos);
}

TEST(ViewerProgram, AlbumOptionsSizeTheWindowFromThePicture) {
    SKIP_WITHOUT_X();
    std::string dir = testenv::scratch_dir("album");
    std::string big = make_jpeg(dir + "/big.jpg", 4000, 3000);
    xdriver::app_t app;
    ASSERT_TRUE(app.start(args({"-resizetype", "2", "-window_ratio_of_image", "0.5",
                                "-image_ratio_of_window", "2", "-g", "+0+32", big}),
                          dir, dir));
    EXPECT_EQ(app.wait_title(big + " (1/1) - glimvue3"), big + " (1/1) - glimvue3");
    const xdriver::geometry_t want{0, 32, 2000, 1500};
    xdriver::geometry_t g = app.wait_geometry(want);
    EXPECT_TRUE(g == want) << g.width << "x" << g.height << "+" << g.x << "+" << g.y;
    // Scale 1: the window shows the picture's middle 2000x1500 pixel for
    // pixel, so its larger relative dimension is twice the window's.
    libgr::image2d_t decoded;
    libgr::image_jpeg1_t reader;
    ASSERT_TRUE(reader.load(decoded, big.c_str()));
    xdriver::shot_t shot;
    ASSERT_TRUE(app.capture_settled(shot));
    int bad = 0;
    for (int y = 0; y < shot.height; y += 7)
        for (int x = 0; x < shot.width; x += 5) {
            const unsigned char* want = decoded[3000 - 1 - (750 + y)] + 3 * (1000 + x);
            if (std::memcmp(shot.at(x, y), want, 3) != 0) ++bad;
        }
    EXPECT_EQ(bad, 0);
    app.key("q");  // xdotool may complain that the window went away
    EXPECT_EQ(app.wait_exit(), 0);
}

TEST(ViewerProgram, KeysStepThroughTheListAndStopAtItsEnds) {
    SKIP_WITHOUT_X();
    std::string dir = testenv::scratch_dir("steps");
    std::vector<std::string> files;
    for (int i = 0; i < 8; ++i)
        files.push_back(make_jpeg(dir + "/p" + std::to_string(i) + ".jpg", 40 + i, 30, i));
    xdriver::app_t app;
    ASSERT_TRUE(app.start(args(files), dir, dir));
    auto title = [&](int i) { return files[i] + " (" + std::to_string(i + 1) + "/8) - glimvue3"; };
    EXPECT_EQ(app.wait_title(title(0)), title(0));
    // Each key that must do nothing is followed by one that moves, so the
    // title shows that the first was handled and changed nothing.
    const struct {
        const char* keys;
        int index;
    } steps[] = {
        {"BackSpace space", 1}, {"End", 7},         {"space BackSpace", 6},
        {"Home", 0},            {"space space space", 3},
        {"shift+space BackSpace", 2}, {"space shift+BackSpace", 0},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(app.key(s.keys));
        EXPECT_EQ(app.wait_title(title(s.index)), title(s.index)) << s.keys;
    }
    app.key("Escape");
    EXPECT_EQ(app.wait_exit(), 0);
}

TEST(ViewerProgram, DirectoriesAndListFilesBuildTheList) {
    SKIP_WITHOUT_X();
    std::string dir = testenv::scratch_dir("lists");
    std::string pics = dir + "/pics";
    testenv::run("mkdir " + testenv::shell_quote(pics));
    make_jpeg(pics + "/IMG_1.JPG", 32, 24);
    testenv::write_file(pics + "/a.txt", "text");
    testenv::write_file(pics + "/b.png", "not really a picture");
    {
        xdriver::app_t app;
        ASSERT_TRUE(app.start(args({pics}), dir, dir));
        std::string want = pics + "/IMG_1.JPG (1/2) - glimvue3";
        EXPECT_EQ(app.wait_title(want), want);
    }
    make_jpeg(dir + "/a.jpg", 20, 20);
    make_jpeg(dir + "/b.jpg", 20, 20);
    make_jpeg(dir + "/c.jpg", 20, 20);
    testenv::write_file(dir + "/list.txt", "a.jpg\nb.jpg\n\nc.jpg\n");
    xdriver::app_t app;
    ASSERT_TRUE(app.start(args({"-@list.txt"}), dir, dir));
    std::string want = dir + "/a.jpg (1/2) - glimvue3";
    EXPECT_EQ(app.wait_title(want), want);
    // Mouse button 3 with two files steps back (nothing before the first).
    EXPECT_TRUE(app.click(8));
    EXPECT_TRUE(app.key("space"));
    want = dir + "/b.jpg (2/2) - glimvue3";
    EXPECT_EQ(app.wait_title(want), want);
}

TEST(ViewerProgram, BackButtonWithOneFileEndsTheProgram) {
    SKIP_WITHOUT_X();
    std::string dir = testenv::scratch_dir("one");
    xdriver::app_t app;
    ASSERT_TRUE(app.start(args({make_jpeg(dir + "/one.jpg", 50, 40)}), dir, dir));
    app.click(8);  // X button 8 is the window's button 3
    EXPECT_EQ(app.wait_exit(), 0);
}

TEST(ViewerProgram, TurnThenUnturnGivesBackThePicturePixelForPixel) {
    SKIP_WITHOUT_X();
    std::string dir = testenv::scratch_dir("turn");
    xdriver::app_t app;
    std::string path = make_jpeg(dir + "/t.jpg", 160, 120);
    ASSERT_TRUE(app.start(args({"-resizetype", "0", "-winsize", "301x201", path}), dir, dir));
    app.wait_title(path + " (1/1) - glimvue3");
    app.wait_size(301, 201);
    xdriver::shot_t before, turned, after, zoomed, centred;
    ASSERT_TRUE(app.capture_settled(before));
    ASSERT_TRUE(app.key("slash"));
    ASSERT_TRUE(app.capture_settled(turned));
    EXPECT_FALSE(turned == before);
    ASSERT_TRUE(app.key("minus"));
    ASSERT_TRUE(app.capture_settled(after));
    EXPECT_TRUE(after == before);
    ASSERT_TRUE(app.click(4, 150, 100));  // wheel up: larger
    ASSERT_TRUE(app.capture_settled(zoomed));
    EXPECT_FALSE(zoomed == before);
    ASSERT_TRUE(app.key("Return"));
    ASSERT_TRUE(app.capture_settled(centred));
    EXPECT_TRUE(centred == before);
    // "W" keeps the options in force as the user's defaults.
    ASSERT_TRUE(app.key("W"));
    std::string defaults;
    for (int i = 0; i < 50 && defaults.find("-single-") == std::string::npos; ++i) {
        usleep(100000);
        defaults = testenv::read_file(dir + "/.glimvue3");
    }
    EXPECT_NE(defaults.find("\n-winsize 301x201\n-g 16384x16384\n-resizetype 0\n"),
              std::string::npos) << defaults;
}

// Files dropped on the window replace the list; "f" fills the screen with
// the window and a second "f" gives back its size and place.
TEST(ViewerProgram, DroppedFilesBecomeTheListAndFFillsTheScreen) {
    SKIP_WITHOUT_X();
    std::string dir = testenv::scratch_dir("drop");
    std::string first = make_jpeg(dir + "/first.jpg", 40, 30);
    std::string a = make_jpeg(dir + "/dropped a.jpg", 30, 20, 2);
    std::string b = make_jpeg(dir + "/b.jpg", 30, 20, 3);
    xdriver::app_t app;
    ASSERT_TRUE(app.start(args({"-winsize", "300x200", "-g", "+10+20", first}), dir, dir));
    EXPECT_EQ(app.wait_title(first + " (1/1) - glimvue3"), first + " (1/1) - glimvue3");
    ASSERT_TRUE(xdnd::drop_files(std::stoul(app.window()), {a, b}, 60, 60));
    EXPECT_EQ(app.wait_title(a + " (1/2) - glimvue3"), a + " (1/2) - glimvue3");

    const xdriver::geometry_t places[] = {{0, 0, 1920, 1080}, {10, 20, 300, 200}};
    for (const auto& want : places) {
        ASSERT_TRUE(app.key("f"));
        xdriver::geometry_t g = app.wait_geometry(want);
        EXPECT_TRUE(g == want) << g.width << "x" << g.height << "+" << g.x << "+" << g.y;
    }
    app.key("q");
    EXPECT_EQ(app.wait_exit(), 0);
}

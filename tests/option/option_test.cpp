#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "glimlib/option.h"
#include "support/testenv.h"

using namespace glimlib;

namespace {

// Each test starts from the program's initial values.
class Option : public ::testing::Test {
  protected:
    void SetUp() override { g_option = option_t(); }
    void TearDown() override { g_option = option_t(); }
};

// Runs the command line {"glimvue3", words...}; returns the remaining words.
std::vector<std::string> parse(std::vector<std::string> words) {
    words.insert(words.begin(), "glimvue3");
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    int argc = int(words.size());
    option_enter_argument(argc, argv.data());
    return std::vector<std::string>(argv.begin() + 1, argv.begin() + argc);
}

std::string save_text() {
    std::string path = testenv::scratch_dir("opt") + "/o";
    EXPECT_TRUE(option_save(path));
    return testenv::read_file(path);
}

}  // namespace

TEST_F(Option, CommandLineEdgeCases) {
    struct case_t {
        std::vector<std::string> words;
        std::string lines;      // lines of option_save expected to change
        size_t remaining;       // words left for the file list
    };
    const case_t cases[] = {
        {{"-WINTYPE", "2"}, "-wintype 2\n", 0},
        {{"-verbose+"}, "-verbose+\n", 0},
        {{"-verbose"}, "-verbose+\n", 0},
        {{"-verbose+", "-verbose-"}, "", 0},
        {{"-verbosex", "-debug"}, "", 2},
        {{"-doubleclick_interval", "0"}, "", 0},
        {{"-doubleclick_interval", "0x20"}, "-doubleclick_interval 32\n", 0},
        {{"-g", "+0+32"}, "-g +0+32\n", 0},
        {{"-g", "0x32"}, "-g 50x16384\n", 0},  // hexadecimal, as strtol reads it
        {{"-winsize", "-1x480"}, "-winsize 800x480\n", 0},
        {{"-winsize", "1024x768"}, "-winsize 1024x768\n", 0},
        {{"-winsize", "010"}, "-winsize 8x600\n", 0},
        {{"-framecolor", "10,20,30"}, "-framecolor 10,20,30,255\n", 0},
        {{"-framecolor", "0x100,1,2,3"}, "-framecolor 0,1,2,3\n", 0},
        {{"-resizetype", "abc"}, "-resizetype 0\n", 0},
        {{"-image_ratio_of_window", "2"}, "-image_ratio_of_window 2\n", 0},
        {{"a.jpg", "-verbose"}, "", 2},
        {{"-resize_shrink", "-sizelimit", "1", "x.jpg"}, "-resize_shrink+\n-sizelimit 1\n", 1},
        {{"-maxsize"}, "", 1},  // value word missing: refused, left for the file list
    };
    const std::string initial = save_text();
    for (const auto& c : cases) {
        g_option = option_t();
        std::vector<std::string> rest = parse(c.words);
        std::string text = save_text();
        std::string changed;
        size_t a = 0, b = 0;
        while (a < initial.size()) {
            size_t ea = initial.find('\n', a), eb = text.find('\n', b);
            std::string la = initial.substr(a, ea - a + 1), lb = text.substr(b, eb - b + 1);
            if (la != lb) changed += lb;
            a = ea + 1, b = eb + 1;
        }
        EXPECT_EQ(changed, c.lines) << c.words[0];
        EXPECT_EQ(rest.size(), c.remaining) << c.words[0];
    }
}

TEST_F(Option, SaveThenLoadReproducesEveryValue) {
    option_t v;
    v.h = true, v.verbose = true, v.debug = false, v.wintype = 2, v.winsize = {1024, 768};
    v.g = {0, 32}, v.resizetype = 2, v.image_ratio_of_image = 0.5f;
    v.image_ratio_of_window = 2, v.window_ratio_of_image = 0.25f, v.resize_magnify = false;
    v.resize_shrink = true, v.sizelimit = 2, v.maxmargin = {4, 5}, v.maxsize = {1920, 1080};
    v.cursor_movement = 0, v.magsmooth = false, v.move_limit = true;
    v.doubleclick_interval = 450, v.frametype = 4, v.framewidth = 7;
    v.framecolor = {1, 2, 3, 4}, v.reproduce = false, v.resetview = false, v.menu = false;
    v.single = true;
    g_option = v;
    std::string path = testenv::scratch_dir("opt") + "/saved";
    ASSERT_TRUE(option_save(path));
    g_option = option_t();
    ASSERT_TRUE(option_load(path));
    g_option.debug = v.debug;
    EXPECT_EQ(save_text(), testenv::read_file(path));
    EXPECT_EQ(std::memcmp(&g_option.framecolor, &v.framecolor, 4), 0);
    EXPECT_EQ(g_option.image_ratio_of_image, 0.5f);
    EXPECT_EQ(g_option.single, true);
    // Lines as the file holds them, one per option in table order.
    std::string text = testenv::read_file(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 26);
    EXPECT_NE(text.find("-h+\n-verbose+\n-debug-\n-wintype 2\n-winsize 1024x768\n"),
              std::string::npos);
    EXPECT_NE(text.find("-framecolor 1,2,3,4\n"), std::string::npos);
}

TEST_F(Option, FileLinesAreOptionalAndForgiving) {
    std::string path = testenv::scratch_dir("opt") + "/f";
    std::string junk("\x01\xff-\0-x", 6);
    testenv::write_file(path, " -wintype 2\n-winsize\t640x480\r\n\n" + junk +
                                  "\n-unknown 5\n-frametype\n" + std::string(100000, 'a') +
                                  "\nfile -debug\n-framewidth 9 extra words\n-resize_shrink");
    ASSERT_TRUE(option_load(path));
    EXPECT_EQ(g_option.wintype, 0);  // a line beginning with a blank is ignored
    EXPECT_EQ(g_option.winsize, libgr::direction2l_t(640, 480));
    EXPECT_EQ(g_option.frametype, 1);  // no value word: ignored
    EXPECT_FALSE(g_option.debug);
    EXPECT_EQ(g_option.framewidth, 9u);
    EXPECT_TRUE(g_option.resize_shrink);  // last line without an end of line
    EXPECT_TRUE(option_load(path + ".missing"));
    EXPECT_FALSE(option_save(path + "/no/such/dir"));
}

TEST_F(Option, ListingFollowsTheTable) {
    std::string out = testenv::stdout_of([] { option_list("glimvue3"); });
    std::vector<std::string> lines;
    for (size_t a = 0, e; (e = out.find('\n', a)) != std::string::npos; a = e + 1)
        lines.push_back(out.substr(a, e - a));
    ASSERT_EQ(lines.size(), 4u + OPTION_COUNT);
    EXPECT_EQ(lines[0], "usage: glimvue3 [option] file...");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "option                 format  comment.");
    EXPECT_EQ(lines[3], std::string(39, '-'));
    EXPECT_EQ(lines[4], "-h                     bool        print help and exit(if commend-line).");
    EXPECT_EQ(lines[8], "-winsize               XXXxYYY     initial window size.");
    EXPECT_EQ(lines[11], "-image_ratio_of_image  rate(float) image size factor of image(fix).");
    EXPECT_EQ(lines[25], "-framecolor            R,G,B       frame color.");
    for (size_t i = 4; i < lines.size(); ++i) EXPECT_EQ(lines[i][22], ' ') << lines[i];
}

TEST_F(Option, HelpPrintsTheListingAndExitsBeforeAnythingElse) {
    EXPECT_EXIT(parse({"-h", "a.jpg"}), ::testing::ExitedWithCode(0), "");
}

TEST_F(Option, UserDefaultFileIsHiddenInHome) {
    const char* home = getenv("HOME");
    std::string saved = home ? home : "";
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(option_user_default_path("glimvue3", "/opt/bin/"), "/home/u/.glimvue3");
    setenv("HOME", "/home/u/", 1);
    EXPECT_EQ(option_user_default_path("glimvue3", "/opt/bin/"), "/home/u/.glimvue3");
    unsetenv("HOME");
    EXPECT_EQ(option_user_default_path("glimvue3", "/opt/bin/"), "/opt/bin/.glimvue3");
    EXPECT_EQ(option_user_default_path("glimvue3", ""), ".glimvue3");
    if (home) setenv("HOME", saved.c_str(), 1);
}

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include <string>

#include "snapfolio/engine/global.h"
#include "support/saved_global.h"
#include "support/scoped_env.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

// A fresh home directory and default settings for one test.
struct settings_fixture : testing::Test {
    std::string home = testenv::scratch_dir("home");
    scoped_env home_env{"HOME", home};
    scoped_env lang_env{"LANG", nullptr};
    testenv::saved_global_t global{testenv::saved_global_t::defaults};

    std::string file() const { return home + "/.snapfolio"; }
    bool load(const std::string& bytes) {
        testenv::write_file(file(), bytes);
        return loadini("", "snapfolio");
    }
};

std::string default_file(const std::string& home) {
    return "from=/mnt/DCIM\r\n"
           "album=" +
           home +
           "/album\r\n"
           "shrink_size=1024,1024\r\n"
           "jpeg_compress=100\r\n"
           "horizontal_items=4\r\n"
           "show_level=1\r\n"
           "view_size=1\r\n"
           "html_header_check=0\r\n"
           "html_address=(C) <a href=\"mailto:user@example.com\">your name</a>, All Rights "
           "Reserved.\r\n"
           "hwaccel=\r\n"
           "ffmpeg=-c:v libx264 -crf 23\r\n"
           "movie=mplayer -x 1920 -y 1080\r\n"
           "play_size_x=1920\r\n"
           "play_size_y=1080\r\n"
           "movie_thumbnail_retina=1\r\n"
           "glimvue3=glimvue3 -resizetype 2 -window_ratio_of_image 0.5 -image_ratio_of_window 2 "
           "-g +0+32\r\n";
}

}  // namespace

using Settings = settings_fixture;

TEST_F(Settings, DefaultsFollowHomeAndLang) {
    EXPECT_EQ(g_global.album, home + "/album");
    {
        scoped_env unset("HOME", nullptr);
        EXPECT_EQ(global_t().album, "album");
        scoped_env empty("HOME", "");
        EXPECT_EQ(global_t().album, "album");
    }
    struct {
        const char* lang;
        const char* charset;
    } cases[] = {
        {"ja_JP.SJIS", "shift_jis"}, {"ja_JP.shiftjis", "shift_jis"},
        {"ja-JP", "shift_jis"},      {"ja_jp.sjis", "UTF-8"},  // exact comparison
        {"ja_JP.eucJP", "euc-jp"},   {"JA_JP.EUCJP", "euc-jp"},
        {"ja_JP.UTF-8", "UTF-8"},    {"", "UTF-8"},
    };
    for (const auto& c : cases) {
        scoped_env lang("LANG", c.lang);
        EXPECT_EQ(global_t().html_header,
                  std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") +
                      c.charset + "\">")
            << c.lang;
    }
}

TEST_F(Settings, InifileIsAHiddenFileInHome) {
    EXPECT_EQ(inifile("ignored/", "snapfolio"), home + "/.snapfolio");
    scoped_env unset("HOME", nullptr);
    // Without HOME, the account's home directory.
    EXPECT_EQ(inifile("", "snapfolio"), std::string(getpwuid(getuid())->pw_dir) + "/.snapfolio");
}

TEST_F(Settings, SaveWritesEveryKeyInOrderWithCrLf) {
    ASSERT_TRUE(saveini("", "snapfolio"));
    EXPECT_EQ(testenv::read_file(file()), default_file(home));
}

TEST_F(Settings, HeaderIsWrittenOnlyWhenItsCheckIsOn) {
    g_global.html_header = "<meta charset=\"x\">";
    ASSERT_TRUE(saveini("", "snapfolio"));
    EXPECT_EQ(testenv::read_file(file()).find("html_header="), std::string::npos);

    g_global.html_header_check = true;
    ASSERT_TRUE(saveini("", "snapfolio"));
    std::string bytes = testenv::read_file(file());
    EXPECT_NE(
        bytes.find("html_header_check=1\r\nhtml_header=<meta charset=\"x\">\r\nhtml_address="),
        std::string::npos);

    // A file without the header line leaves the default header on load.
    g_global.html_header_check = false;
    ASSERT_TRUE(saveini("", "snapfolio"));
    g_global = global_t();
    std::string header = g_global.html_header;
    ASSERT_TRUE(loadini("", "snapfolio"));
    EXPECT_EQ(g_global.html_header, header);
}

TEST_F(Settings, SaveThenLoadGivesBackEverySetting) {
    global_t& g = g_global;
    g.from = "/media/card/DCIM";
    g.album = "/srv/アルバム";
    g.shrink_width = 800;
    g.shrink_height = 600;
    g.jpeg_compress = 85;
    g.horizontal_items = 6;
    g.show_level = 2;
    g.view_size = 3;
    g.html_header_check = true;
    g.html_header = "<meta a=b=c>";
    g.html_address = "me";
    g.hwaccel = "-hwaccel vaapi";
    g.ffmpeg = "-c:v libx265";
    g.movie = "mpv";
    g.play_size_x = 1280;
    g.play_size_y = 720;
    g.movie_thumbnail_retina = false;
    g.glimvue3 = "viewer -x";
    global_t saved = g;
    ASSERT_TRUE(saveini("", "snapfolio"));
    g_global = global_t();
    ASSERT_TRUE(loadini("", "snapfolio"));
    EXPECT_EQ(g.from, saved.from);
    EXPECT_EQ(g.album, saved.album);
    EXPECT_EQ(g.shrink_width, 800u);
    EXPECT_EQ(g.shrink_height, 600u);
    EXPECT_EQ(g.jpeg_compress, 85u);
    EXPECT_EQ(g.horizontal_items, 6u);
    EXPECT_EQ(g.show_level, 2u);
    EXPECT_EQ(g.view_size, 3u);
    EXPECT_TRUE(g.html_header_check);
    EXPECT_EQ(g.html_header, saved.html_header);
    EXPECT_EQ(g.html_address, "me");
    EXPECT_EQ(g.hwaccel, saved.hwaccel);
    EXPECT_EQ(g.ffmpeg, saved.ffmpeg);
    EXPECT_EQ(g.movie, "mpv");
    EXPECT_EQ(g.play_size_x, 1280u);
    EXPECT_EQ(g.play_size_y, 720u);
    EXPECT_FALSE(g.movie_thumbnail_retina);
    EXPECT_EQ(g.glimvue3, "viewer -x");
}

TEST_F(Settings, ValuesAreReadLikeStrtoul) {
    struct {
        const char* line;
        uint64_t global_t::*field;
        uint64_t expected;
    } cases[] = {
        {"jpeg_compress=0x50", &global_t::jpeg_compress, 80},
        {"jpeg_compress=010", &global_t::jpeg_compress, 8},
        {"jpeg_compress=75 percent", &global_t::jpeg_compress, 75},
        {"view_size= 3", &global_t::view_size, 3},  // strtoul skips leading blanks
        {"shrink_size=800x600", &global_t::shrink_width, 800},
        {"shrink_size=800x600", &global_t::shrink_height, 600},
        {"shrink_size=0x320,0x258", &global_t::shrink_width, 800},
        {"shrink_size=0x320,0x258", &global_t::shrink_height, 600},
        {"shrink_size=640", &global_t::shrink_width, 640},
        {"shrink_size=640", &global_t::shrink_height, 1024},  // height kept
    };
    for (const auto& c : cases) {
        g_global = global_t();
        ASSERT_TRUE(load(std::string(c.line) + "\r\n"));
        EXPECT_EQ(g_global.*c.field, c.expected) << c.line;
    }
    struct {
        const char* line;
        bool expected;
    } flags[] = {{"movie_thumbnail_retina=0", false},
                 {"movie_thumbnail_retina=2", true},
                 {"movie_thumbnail_retina=no", false},
                 {"html_header_check=1", true}};
    for (const auto& f : flags) {
        g_global = global_t();
        ASSERT_TRUE(load(std::string(f.line) + "\n"));
        bool value = std::string(f.line).find("retina") != std::string::npos
                         ? g_global.movie_thumbnail_retina
                         : g_global.html_header_check;
        EXPECT_EQ(value, f.expected) << f.line;
    }
}

TEST_F(Settings, SplitIsAtTheFirstEqualsAndBlanksStay) {
    ASSERT_TRUE(load("album=/a=b/c\r\nfrom= /x \r\nmovie=mpv\r\r\n"));
    EXPECT_EQ(g_global.album, "/a=b/c");
    EXPECT_EQ(g_global.from, " /x ");
    EXPECT_EQ(g_global.movie, "mpv");  // every trailing CR goes
}

TEST_F(Settings, LfOnlyFileLoadsLikeCrLf) {
    std::string crlf = "from=/x\r\nview_size=4\r\nmovie=m\r\n";
    std::string lf = "from=/x\nview_size=4\nmovie=m";  // and no final line end
    ASSERT_TRUE(load(crlf));
    global_t a = g_global;
    g_global = global_t();
    ASSERT_TRUE(load(lf));
    EXPECT_EQ(g_global.from, a.from);
    EXPECT_EQ(g_global.view_size, a.view_size);
    EXPECT_EQ(g_global.movie, a.movie);
}

TEST_F(Settings, UnknownKeysAreReportedAndSkipped) {
    bool ok = false;
    EXPECT_EQ(
        testenv::stderr_of([&] {
            ok = load(
                "From=/x\r\nno equals sign\r\nshrink_level=3\r\n=empty key\r\nview_size=2\r\n");
        }),
        "Unrecognized name: From\nUnrecognized name: \n");
    ASSERT_TRUE(ok);
    EXPECT_EQ(g_global.from, "/mnt/DCIM");
    EXPECT_EQ(g_global.view_size, 2u);
}

// Values no photo can be made with are refused when the file is read: the
// old value stays, and one line per key names the value (never raw bytes).
TEST_F(Settings, OutOfRangeValuesAreRefusedOneLineEach) {
    const struct {
        const char* line;
        const char* message;  // "" when the value is taken
    } cases[] = {
        {"shrink_size=0,0", "shrink_size: 0,0: needs two numbers from 1 to 65535, kept 1024,1024."},
        {"shrink_size=abc", "shrink_size: abc: needs two numbers from 1 to 65535, kept 1024,1024."},
        {"shrink_size=640,", "shrink_size: 640,: needs two numbers from 1 to 65535, kept 1024,1024."},
        {"jpeg_compress=-7", "jpeg_compress: -7: needs a number from 1 to 100, kept 100."},
        {"jpeg_compress=0", "jpeg_compress: 0: needs a number from 1 to 100, kept 100."},
        {"jpeg_compress=101", "jpeg_compress: 101: needs a number from 1 to 100, kept 100."},
        {"jpeg_compress=junk", "jpeg_compress: junk: needs a number from 1 to 100, kept 100."},
        {"horizontal_items=0", "horizontal_items: 0: needs a number from 1 to 100, kept 4."},
        {"play_size_x=18446744073709551615",
         "play_size_x: 18446744073709551615: needs a number from 1 to 65535, kept 1920."},
        {"play_size_y=99999999999999999999999",
         "play_size_y: 99999999999999999999999: needs a number from 1 to 65535, kept 1080."},
        {"pixel_limit=0", "pixel_limit: 0: needs a number from 1 to 4295, kept 200."},
        {"jpeg_compress=\x1b[31m", "jpeg_compress: \\x1b[31m: needs a number from 1 to 100, kept 100."},
        {"\x01\x1b[2J\xff=1", "Unrecognized name: \\x01\\x1b[2J\\xff"},
        {"jobs=257", "jobs: 257: needs a number from 0 to 256, kept 0."},
        {"pixel_limit=50", ""},
        {"jobs=3", ""},
        {"shrink_size=1,1", ""},
        {"jpeg_compress=1", ""},
    };
    for (const auto& c : cases) {
        g_global = global_t();
        const global_t before = g_global;
        bool ok = false;
        const std::string err =
            testenv::stderr_of([&] { ok = load(std::string(c.line) + "\r\n"); });
        ASSERT_TRUE(ok);
        EXPECT_EQ(err, *c.message ? std::string(c.message) + "\n" : "") << c.line;
        if (*c.message) {
            EXPECT_EQ(g_global.shrink_width, before.shrink_width) << c.line;
            EXPECT_EQ(g_global.jpeg_compress, before.jpeg_compress) << c.line;
            EXPECT_EQ(g_global.play_size_x, before.play_size_x) << c.line;
            EXPECT_EQ(g_global.pixel_limit, before.pixel_limit) << c.line;
            EXPECT_EQ(g_global.jobs, before.jobs) << c.line;
        }
    }
    // A limit that was set survives a save and a load; the default is not
    // written, so older files stay as they were.
    g_global = global_t();
    g_global.pixel_limit = 50;
    g_global.jobs = 3;
    ASSERT_TRUE(saveini("", "snapfolio"));
    EXPECT_NE(testenv::read_file(file()).find("\r\npixel_limit=50\r\njobs=3\r\n"),
              std::string::npos);
    g_global = global_t();
    ASSERT_TRUE(loadini("", "snapfolio"));
    EXPECT_EQ(g_global.pixel_limit, 50u);
    EXPECT_EQ(g_global.jobs, 3u);
}

TEST_F(Settings, MissingFileLeavesTheDefaults) {
    g_global.view_size = 7;
    EXPECT_FALSE(loadini("", "snapfolio"));
    EXPECT_EQ(g_global.view_size, 7u);
}

TEST_F(Settings, HostileFilesLoadWithoutHarm) {
    std::string huge = "album=" + std::string(10 * 1024 * 1024, 'a') + "\r\n";
    ASSERT_TRUE(load(huge + "view_size=5\r\n"));
    EXPECT_EQ(g_global.album.size(), 10u * 1024 * 1024);
    EXPECT_EQ(g_global.view_size, 5u);

    // A huge unknown key gives one short line.
    bool ok = false;
    std::string err =
        testenv::stderr_of([&] { ok = load(std::string(10 * 1024 * 1024, 'k') + "=1\n"); });
    ASSERT_TRUE(ok);
    EXPECT_LT(err.size(), 300u);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);

    std::string junk;
    for (int i = 0; i < 65536; ++i) junk.push_back(char((i * 131) ^ (i >> 3)));
    testenv::stderr_of([&] { EXPECT_TRUE(load(junk)); });
    EXPECT_TRUE(load(std::string("from=a\0b\r\n", 10)));
    EXPECT_EQ(g_global.from, std::string("a\0b", 3));
}

TEST_F(Settings, UnwritableFileIsReportedAndReturnsFalse) {
    // HOME naming a plain file: nothing can be created below it (even as root).
    std::string not_a_dir = home + "/plain";
    testenv::write_file(not_a_dir, "x");
    scoped_env bad_home("HOME", not_a_dir);
    std::ostringstream err;
    EXPECT_FALSE(saveini("", "snapfolio", err));
    EXPECT_EQ(err.str(), not_a_dir + "/.snapfolio: open error, Not a directory\n");

    EXPECT_NE(
        testenv::stderr_of([&] { EXPECT_FALSE(saveini("", "snapfolio")); }).find(": open error, "),
        std::string::npos);
}

TEST_F(Settings, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    testenv::write_file(file(), "old content\r\n");
    ASSERT_TRUE(saveini("", "snapfolio"));
    EXPECT_EQ(testenv::read_file(file()), default_file(home));
    std::string listing;
    testenv::run("ls -A " + testenv::shell_quote(home), &listing);
    EXPECT_EQ(listing, ".snapfolio\n");
}

TEST_F(Settings, SaveThroughALinkReplacesTheLinkedFile) {
    std::string dotfiles = testenv::scratch_dir("dotfiles");
    testenv::write_file(dotfiles + "/snapfolio.ini", "old\r\n");
    ASSERT_EQ(symlink((dotfiles + "/snapfolio.ini").c_str(), file().c_str()), 0);
    ASSERT_TRUE(saveini("", "snapfolio"));
    char target[4096] = {};
    EXPECT_GT(readlink(file().c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), dotfiles + "/snapfolio.ini");
    EXPECT_EQ(testenv::read_file(dotfiles + "/snapfolio.ini"), default_file(home));
}

TEST(SettingsLine, BoolsAreOneOrZeroAndEveryLineEndsInCrLf) {
    std::ostringstream out;
    writeiniline(out, "a", std::string("x y"));
    writeiniline(out, "b", uint64_t(42));
    writeiniline(out, "c", true);
    writeiniline(out, "d", false);
    EXPECT_EQ(out.str(), "a=x y\r\nb=42\r\nc=1\r\nd=0\r\n");
}

TEST(SettingsOstype, IconifyOnlyWhereOstypeIsSetAndNotWindows) {
    const char* saved = ostype;
    struct {
        const char* value;
        bool iconify;
    } cases[] = {{nullptr, false},
                 {"linux-gnu", true},
                 {"Windows_NT", false},
                 {"win32", false},
                 {"darwin", true}};
    for (const auto& c : cases) {
        ostype = c.value;
        EXPECT_EQ(iconify_before_present(), c.iconify) << (c.value ? c.value : "(unset)");
    }
    ostype = saved;
}

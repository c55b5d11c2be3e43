#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "libutils/path.h"
#include "support/testenv.h"

using namespace libutils;

TEST(Path, SplitpathTakesDriveDirNameAndLastExtension) {
    splitpath_t sp;
    split(sp, "C:dir\\sub/file.tar.gz");
    EXPECT_STREQ(sp.drive, "C:");
    EXPECT_STREQ(sp.dir, "dir\\sub/");
    EXPECT_STREQ(sp.name, "file.tar");
    EXPECT_STREQ(sp.ext, ".gz");
    char joined[4096];
    EXPECT_STREQ(concat(joined, sp), "C:dir\\sub/file.tar.gz");

    split(sp, ".profile");
    EXPECT_STREQ(sp.name, "");
    EXPECT_STREQ(sp.ext, ".profile");

    split(sp, "dir.d/file");
    EXPECT_STREQ(sp.dir, "dir.d/");
    EXPECT_STREQ(sp.name, "file");
    EXPECT_STREQ(sp.ext, "");
}

TEST(Path, BaseAndDirNames) {
    EXPECT_EQ(libutils::basename("a/b/c.d.jpg"), "c.d");
    EXPECT_EQ(libutils::basename("a/b.c/d"), "d");
    EXPECT_EQ(libutils::basename2("a/b/c.jpg"), "c.jpg");
    EXPECT_EQ(libutils::dirname("a/b/c.jpg"), "a/b/");
    EXPECT_EQ(libutils::dirname("file.jpg"), "");
    // A backslash is part of a name: p\same.jpg and same.jpg are two files.
    EXPECT_EQ(libutils::dirname("a\\b/c\\d"), "a\\b/");
    EXPECT_STREQ(baseptr("x/y\\z"), "y\\z");
    EXPECT_EQ(libutils::basename("p\\same.jpg"), "p\\same");
    char buf[8];
    EXPECT_EQ(basename(buf, "dir/name.ext", sizeof buf), 4u);
    EXPECT_STREQ(buf, "name");
    EXPECT_EQ(dirname(buf, "ab/cdefghijk", sizeof buf), 3u);
    EXPECT_STREQ(buf, "ab/");
    EXPECT_EQ(basename(buf, "averyverylongname.x", sizeof buf), 7u);  // cut, terminated
}

TEST(Path, MultibyteTrailBytesAreNotSeparators) {
    // In Shift_JIS the second byte of many characters is 0x5C ("\").
    if (!std::setlocale(LC_ALL, "ja_JP.SJIS") && !std::setlocale(LC_ALL, "ja_JP.sjis"))
        GTEST_SKIP() << "no Shift_JIS locale installed";
    std::string so = "\x83\x5C";  // KATAKANA SO, trail byte 0x5C
    EXPECT_EQ(libutils::basename2("dir/" + so + ".jpg"), so + ".jpg");
    EXPECT_EQ(libutils::dirname("dir/" + so + ".jpg"), "dir/");
    std::setlocale(LC_ALL, "C");
}

TEST(Path, ExtcasecmpComparesTailIgnoringCase) {
    EXPECT_EQ(extcasecmp("IMG_0001.JPG", ".jpg"), 0);
    EXPECT_EQ(extcasecmp("a", ".jpg"), -1);
    EXPECT_NE(extcasecmp("a.png", ".jpg"), 0);
    EXPECT_EQ(extcasecmp(std::string("clip.MoV"), ".mov"), 0);
}

TEST(Path, SearchpathPrefersNameThenCwdThenPathThenOrigin) {
    std::string dir = testenv::scratch_dir();
    std::string cwd = getcwd();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    testenv::write_file("here.msg", "x");
    EXPECT_EQ(searchpath("here.msg"), "here.msg");  // no "./" in front

    mkdir(dir + "/bin");
    mkdir(dir + "/prog");
    testenv::write_file(dir + "/bin/onpath.msg", "x");
    testenv::write_file(dir + "/prog/beside.msg", "x");
    std::string old_path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (dir + "/bin").c_str(), 1);
    EXPECT_EQ(searchpath("onpath.msg"), dir + "/bin/onpath.msg");
    EXPECT_EQ(searchpath("beside.msg", (dir + "/prog/snapfolio").c_str()),
              dir + "/prog//beside.msg");
    EXPECT_EQ(searchpath("nowhere.msg"), "nowhere.msg");
    setenv("PATH", old_path.c_str(), 1);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
}

TEST(Path, MkdirAndRealpath) {
    std::string dir = testenv::scratch_dir();
    EXPECT_EQ(mkdir(dir + "/new"), 0);
    EXPECT_EQ(mkdir(dir + "/new"), -1);
    EXPECT_EQ(realpath(dir + "/new/../new"), realpath(dir) + "/new");
}

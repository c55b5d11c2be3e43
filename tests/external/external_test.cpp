// Starting the viewer, the movie player and the browser, checked with a
// stand-in program that records how it was started; the mv and rm command
// lines; the temporary directory.
#include <glob.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <thread>

#include "support/scoped_env.h"
#include "snapfolio/engine/external.h"
#include "snapfolio/engine/global.h"
#include "support/saved_global.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

using testenv::saved_global_t;

// A folder of stand-in programs that write "prog=<$0>" and one "arg=[...]"
// line per argument to $STANDIN_RECORD, once the file $STANDIN_GO exists
// (or after ten seconds, noting that it was not there). A starter that
// waited for its program would thus keep the test from creating STANDIN_GO
// and the record would say so.
class standin_t {
  public:
    std::string dir, record, go;
    scoped_env path_env, record_env, go_env;

    explicit standin_t(const std::string& bin)
        : dir(bin),
          record(testenv::scratch_dir("record") + "/args"),
          go(record + ".go"),
          path_env("PATH", bin + ":" + std::string(getenv("PATH") ? getenv("PATH") : "")),
          record_env("STANDIN_RECORD", record),
          go_env("STANDIN_GO", go) {}

    static std::string make_bin(const std::string& where, const std::vector<std::string>& names) {
        ::mkdir(where.c_str(), 0755);
        const char script[] =
            "#!/bin/sh\n"
            "i=0\n"
            "while [ ! -e \"$STANDIN_GO\" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
            "if [ -e \"$STANDIN_GO\" ]; then go=seen; else go=missing; fi\n"
            "{ printf 'prog=%s\\n' \"$0\"; for a in \"$@\"; do printf 'arg=[%s]\\n' \"$a\"; done;"
            "  printf 'go=%s\\n' \"$go\"; } > \"$STANDIN_RECORD.$$\"\n"
            "mv \"$STANDIN_RECORD.$$\" \"$STANDIN_RECORD\"\n";
        for (const std::string& n : names) {
            std::string file = where + "/" + n;
            testenv::write_file(file, script);
            ::chmod(file.c_str(), 0755);
        }
        return where;
    }

    // Lets the stand-in go on and returns what it recorded.
    std::string wait() {
        testenv::write_file(go, "");
        for (int i = 0; i < 200 && !testenv::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::string r = testenv::read_file(record);
        ::unlink(record.c_str());
        ::unlink(go.c_str());
        return r;
    }
};

const std::string k_hostile = "a\"b $(touch x) `c` $HOME\\ d.jpg";

}  // namespace

TEST(External, CommandLinesForPlainNames) {
    saved_global_t keep;
    g_global.glimvue3 =
        "glimvue3 -resizetype 2 -window_ratio_of_image 0.5 -image_ratio_of_window 2 -g +0+32";
    g_global.movie = "mplayer -x 1920 -y 1080";
    const std::string opts =
        " -resizetype 2 -window_ratio_of_image 0.5 -image_ratio_of_window 2 -g +0+32";
    EXPECT_EQ(glimvue3_command("/usr/local/bin/", {"/home/u/album/2024/size1"}),
              "/usr/local/bin/glimvue3" + opts + " \"/home/u/album/2024/size1\" &");
    EXPECT_EQ(glimvue3_command("/opt/sf/", {"a.jpg", "b c.jpg", "d.jpg"}),
              "/opt/sf/glimvue3" + opts + " \"a.jpg\" \"b c.jpg\" \"d.jpg\" &");
    EXPECT_EQ(glimvue3_command("/opt/sf/", {}), "/opt/sf/glimvue3" + opts + " &");
    EXPECT_EQ(movie_command("/a/movie1/M.mp4"), "mplayer -x 1920 -y 1080 \"/a/movie1/M.mp4\" &");
    g_global.movie.clear();
    EXPECT_EQ(movie_command("/a/M.mp4"), " \"/a/M.mp4\" &");
    EXPECT_EQ(browser_command("/home/u/album"), "xdg-open \"/home/u/album/index.html\" &");
    EXPECT_EQ(mv_command("/b/old", "/b/sub/new"), "mv \"/b/old\" \"/b/sub/new\"");
    EXPECT_EQ(rm_rf_command("/b/old"), "rm -rf \"/b/old\"");
    // A program folder the shell would split goes in quotes.
    EXPECT_EQ(glimvue3_command("/my apps/", {"a.jpg"}),
              "\"/my apps/\"glimvue3" + opts + " \"a.jpg\" &");
    EXPECT_EQ(mv_command("/b/a\"$x", "/b/`y`"), "mv \"/b/a\\\"\\$x\" \"/b/\\`y\\`\"");
}

TEST(External, ViewerStartsFromTheProgramFolderInTheBackground) {
    saved_global_t keep;
    std::string root = testenv::scratch_dir("viewer");
    // The program folder holds a blank, as an unpacked download's might.
    std::string bin = standin_t::make_bin(root + "/my bin", {"glimvue3"});
    standin_t s(root + "/nowhere");
    g_global.glimvue3 = "glimvue3 -resizetype 2 -g +0+32";
    EXPECT_TRUE(run_glimvue3(bin + "/", "/album/size1"));
    EXPECT_EQ(s.wait(), "prog=" + bin +
                            "/glimvue3\narg=[-resizetype]\narg=[2]\narg=[-g]\narg=[+0+32]\n"
                            "arg=[/album/size1]\ngo=seen\n");
    EXPECT_TRUE(
        run_glimvue3(bin + "/", std::vector<std::string>{"one.jpg", k_hostile, "three.jpg"}));
    EXPECT_EQ(s.wait(), "prog=" + bin +
                            "/glimvue3\narg=[-resizetype]\narg=[2]\narg=[-g]\narg=[+0+32]\n"
                            "arg=[one.jpg]\narg=[" +
                            k_hostile + "]\narg=[three.jpg]\ngo=seen\n");
    EXPECT_FALSE(testenv::exists("x"));
}

TEST(External, MoviePlayerAndBrowserGetTheFileAsItIs) {
    saved_global_t keep;
    std::string root = testenv::scratch_dir("player");
    std::string bin = standin_t::make_bin(root + "/bin", {"mplayer", "xdg-open", "c"});
    standin_t s(bin);
    g_global.movie = "mplayer -x 1920 -y 1080";
    EXPECT_TRUE(run_movie("/album/movie1/" + k_hostile));
    EXPECT_EQ(s.wait(), "prog=" + bin +
                            "/mplayer\narg=[-x]\narg=[1920]\narg=[-y]\narg=[1080]\n"
                            "arg=[/album/movie1/" +
                            k_hostile + "]\ngo=seen\n");
    run_browser(root + "/al bum #1");
    EXPECT_EQ(s.wait(),
              "prog=" + bin + "/xdg-open\narg=[" + root + "/al bum #1/index.html]\ngo=seen\n");
    // Nothing of the name ran ("c" would have recorded itself).
    EXPECT_FALSE(testenv::exists(s.record));
}

TEST(External, MvAndRmTakeNamesAsTheyAre) {
    std::string dir = testenv::scratch_dir("mv");
    std::string from = dir + "/" + k_hostile, to = dir + "/sub $(x)";
    ::mkdir(from.c_str(), 0755);
    EXPECT_EQ(run_mv(from, to), 0);
    EXPECT_TRUE(testenv::exists(to));
    EXPECT_FALSE(testenv::exists(from));
    EXPECT_EQ(run_rm_rf(to), 0);
    EXPECT_FALSE(testenv::exists(to));
    EXPECT_TRUE(testenv::exists(dir));
}

namespace {

int count_matches(const std::string& pattern) {
    glob_t g;
    int n = ::glob(pattern.c_str(), 0, nullptr, &g) == 0 ? (int)g.gl_pathc : 0;
    globfree(&g);
    return n;
}

bool is_dir(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string unique_name() {
    static int n = 0;
    return "sftest-" + std::to_string(::getpid()) + "-" + std::to_string(++n);
}

}  // namespace

TEST(TempDir, OneDirectoryPerRecordRemovedOnce) {
    const std::string name = unique_name();
    std::string made;
    {
        temp_t t;
        EXPECT_FALSE(t.active);
        ASSERT_TRUE(t.init(name));
        made = t.path.dir;
        EXPECT_EQ(made.compare(0, 5 + name.size() + 1, "/tmp/" + name + "."), 0) << made;
        EXPECT_EQ(made.size(), 5 + name.size() + 7);
        EXPECT_TRUE(is_dir(made));
        ASSERT_TRUE(t.init(name));
        EXPECT_EQ(t.path.dir, made);
        EXPECT_EQ(count_matches("/tmp/" + name + ".*"), 1);

        ASSERT_TRUE(testenv::write_file(made + "/preview.jpg", "x"));
        EXPECT_TRUE(t.destroy());
        EXPECT_FALSE(is_dir(made));
        EXPECT_FALSE(t.destroy());

        // A new init after destroy makes a new directory, and the destructor
        // removes it.
        ASSERT_TRUE(t.init(name));
        made = t.path.dir;
        EXPECT_TRUE(is_dir(made));
    }
    EXPECT_FALSE(is_dir(made));
    EXPECT_EQ(count_matches("/tmp/" + name + ".*"), 0);

    // A name that already ends in the six X's is used as the template.
    temp_t x;
    ASSERT_TRUE(x.init(name + "-XXXXXX"));
    EXPECT_EQ(x.path.dir.size(), 5 + name.size() + 7);
    EXPECT_EQ(x.path.dir.find('.'), std::string::npos);
}

TEST(TempDir, RemovesNothingButTheDirectoryItMade) {
    std::string victim = testenv::scratch_dir("victim");
    ASSERT_TRUE(testenv::write_file(victim + "/keep", "precious"));
    std::ostringstream err;
    std::streambuf* old = std::cerr.rdbuf(err.rdbuf());

    // The path changed behind the record's back.
    temp_t a;
    ASSERT_TRUE(a.init(unique_name()));
    std::string made_a = a.path.dir;
    a.path.dir = victim;
    EXPECT_TRUE(a.destroy());
    EXPECT_FALSE(a.active);

    // The directory swapped for a symbolic link to another one.
    temp_t b;
    ASSERT_TRUE(b.init(unique_name()));
    std::string made_b = b.path.dir;
    ASSERT_EQ(::rmdir(made_b.c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), made_b.c_str()), 0);
    EXPECT_TRUE(b.destroy());

    // The directory swapped for a file.
    temp_t c;
    ASSERT_TRUE(c.init(unique_name()));
    std::string made_c = c.path.dir;
    ASSERT_EQ(::rmdir(made_c.c_str()), 0);
    ASSERT_TRUE(testenv::write_file(made_c, "file"));
    EXPECT_TRUE(c.destroy());

    // A name that would put the directory elsewhere than straight in /tmp.
    temp_t d;
    const std::string up = "../" + unique_name();
    EXPECT_FALSE(d.init(up));
    EXPECT_FALSE(d.active);

    std::cerr.rdbuf(old);
    EXPECT_EQ(testenv::read_file(victim + "/keep"), "precious");
    EXPECT_TRUE(testenv::exists(made_b));
    EXPECT_EQ(testenv::read_file(made_c), "file");
    EXPECT_EQ(err.str(), victim + ": not the temporary directory made here, not removed.\n" +
                             made_b + ": not the temporary directory made here, not removed.\n" +
                             made_c +
                             ": not the temporary directory made here, not removed.\n"
                             "/tmp/" +
                             up + ": not a plain directory name.\n");
    ::rmdir(made_a.c_str());
    ::unlink(made_b.c_str());
    ::unlink(made_c.c_str());
}

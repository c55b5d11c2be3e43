// The album program as a user starts it: command line, first start.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <thread>

#include "support/testenv.h"
#include "support/xdriver.h"

namespace {

std::string program() {
    return testenv::bin_dir() + "/snapfolio";
}

#define SKIP_WITHOUT_X()                                                   \
    do {                                                                   \
        const char* d = getenv("DISPLAY");                                 \
        if (!d || !*d) GTEST_SKIP() << "no X display: run under xvfb-run"; \
    } while (0)

// The environment of every run: its own home, no leak report at exit (GTK
// keeps caches for the life of the process).
// The accessibility bridge is off: whether a desktop bus happens to be
// reachable must not add a warning to the output these tests compare.
std::string env_for(const std::string& home) {
    return "env HOME=" + testenv::shell_quote(home) + " ASAN_OPTIONS=detect_leaks=0 NO_AT_BRIDGE=1 ";
}

bool wait_until(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// Starts the program in the background; its exit status lands in dir/status.
void start(const std::string& dir, const std::string& home) {
    std::string cmd = "(" + env_for(home) + testenv::shell_quote(program()) + " >" +
                      testenv::shell_quote(dir + "/out") + " 2>&1; echo $? >" +
                      testenv::shell_quote(dir + "/status") +
                      ") </dev/null >/dev/null 2>&1 & echo $! >" +
                      testenv::shell_quote(dir + "/pid");
    ASSERT_EQ(testenv::run(cmd), 0);
}

void stop(const std::string& dir) {
    testenv::run("pkill -P $(cat " + testenv::shell_quote(dir + "/pid") + ") 2>/dev/null");
}

}  // namespace

TEST(Program, WrongArgumentCountsPrintTheUsageAndExitWithoutAWindow) {
    SKIP_WITHOUT_X();
    std::string home = testenv::scratch_dir("home");
    testenv::write_file(home + "/.snapfolio", "album=" + home + "/album\r\n");
    for (const char* args : {"-h", "-h /from /to", "-h x", "one", "a b c", "a b c d"}) {
        std::string out;
        int status = testenv::run("timeout 60 " + env_for(home) + program() + " " + args, &out);
        EXPECT_EQ(status, 0) << args;
        EXPECT_EQ(out, "usage: " + program() + " [-h] [<from dir> <to dir>]\n") << args;
    }
}

// The usage needs no window system: it is answered before GTK opens a
// display (over ssh, in scripts). Without settings either.
TEST(Program, UsageWorksWithoutADisplay) {
    std::string home = testenv::scratch_dir("home");
    const std::string no_display = "env -u DISPLAY -u WAYLAND_DISPLAY ";
    for (const char* args : {"-h", "one", "a b c"}) {
        std::string out;
        int status = testenv::run(
            "timeout 60 " + no_display + env_for(home) + program() + " " + args + " 2>/dev/null",
            &out);
        EXPECT_EQ(status, 0) << args;
        EXPECT_EQ(out, "usage: " + program() + " [-h] [<from dir> <to dir>]\n") << args;
    }
    // The window itself still needs a display: GTK says so, status 1.
    std::string out;
    EXPECT_EQ(testenv::run("timeout 60 " + no_display + env_for(home) + program() + " 2>&1", &out),
              1);
    EXPECT_NE(out.find("cannot open display"), std::string::npos) << out;
}

TEST(Program, FirstStartAsksForSettingsAndOkGoesOnToTheWindow) {
    SKIP_WITHOUT_X();
    SKIP_WITHOUT_PROGRAM("xdotool");
    std::string dir = testenv::scratch_dir("run"), home = dir + "/home";
    ASSERT_EQ(testenv::run("mkdir " + testenv::shell_quote(home)), 0);
    start(dir, home);
    std::string dialog = xdriver::wait_window("Settings");
    ASSERT_FALSE(dialog.empty()) << testenv::read_file(dir + "/out");
    // Return in the first entry answers OK.
    bool saved = wait_until(
        [&] {
            xdriver::focus_key(dialog, "Return");
            return wait_until([&] { return testenv::exists(home + "/.snapfolio"); }, 2);
        },
        30);
    EXPECT_TRUE(saved);
    EXPECT_FALSE(xdriver::wait_window("snapfolio - Albums").empty());
    stop(dir);
    std::string settings = testenv::read_file(home + "/.snapfolio");
    EXPECT_EQ(settings.substr(0, 35), "from=/mnt/DCIM\r\nalbum=" + home.substr(0, 13));
    EXPECT_NE(settings.find("\r\nglimvue3=glimvue3 -resizetype 2"), std::string::npos);
    EXPECT_TRUE(testenv::exists(home + "/album"));
}

TEST(Program, FirstStartClosedWithoutSettingsEndsQuietly) {
    SKIP_WITHOUT_X();
    SKIP_WITHOUT_PROGRAM("xdotool");
    std::string dir = testenv::scratch_dir("run"), home = dir + "/home";
    ASSERT_EQ(testenv::run("mkdir " + testenv::shell_quote(home)), 0);
    start(dir, home);
    std::string dialog = xdriver::wait_window("Settings");
    ASSERT_FALSE(dialog.empty());
    bool ended = wait_until(
        [&] {
            xdriver::focus_key(dialog, "Escape");
            return wait_until([&] { return testenv::exists(dir + "/status"); }, 2);
        },
        30);
    ASSERT_TRUE(ended);
    stop(dir);
    EXPECT_EQ(testenv::read_file(dir + "/status"), "0\n");
    EXPECT_EQ(testenv::read_file(dir + "/out"), "");
    EXPECT_FALSE(testenv::exists(home + "/.snapfolio"));
}

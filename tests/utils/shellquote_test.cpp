#include <gtest/gtest.h>

#include "libutils/shellquote.h"
#include "support/testenv.h"

// Names survive a real shell unchanged, and nothing in them runs.
TEST(ShellQuote, HostileNamesReachTheCommandUnchanged) {
    std::string dir = testenv::scratch_dir();
    const std::string names[] = {
        "plain name.jpg", "a\"b $(touch x) `touch y` c.mov", "back\\slash\\", "$HOME",
        "it's", "new\nline", "!bang", "",
    };
    for (const std::string& name : names) {
        std::string out;
        std::string cmd = "cd " + testenv::shell_quote(dir) + " && printf %s " + libutils::dquote(name);
        ASSERT_EQ(testenv::run(cmd, &out), 0) << cmd;
        EXPECT_EQ(out, name);
    }
    EXPECT_FALSE(testenv::exists(dir + "/x"));
    EXPECT_FALSE(testenv::exists(dir + "/y"));
    EXPECT_EQ(libutils::dquote("IMG_0001.MOV"), "\"IMG_0001.MOV\"");
}

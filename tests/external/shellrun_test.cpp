// Running command lines through the shell.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "snapfolio/engine/shellrun.h"
#include "support/testenv.h"

using namespace snapfolio;

TEST(ShellRun, ReturnsTheWaitStatusLikeSystem) {
    EXPECT_EQ(shell_system("true"), 0);
    EXPECT_TRUE(shell_succeeded(shell_system("exit 0")));
    int status = shell_system("exit 3");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_FALSE(shell_succeeded(status));
    EXPECT_FALSE(shell_succeeded(shell_system("kill -9 $$")));
    EXPECT_FALSE(shell_succeeded(-1));
    EXPECT_EQ(WEXITSTATUS(shell_system("no-such-program-here 2>/dev/null")), 127);
}

TEST(ShellRun, StandardInputIsEmpty) {
    std::string dir = testenv::scratch_dir("stdin");
    // cat would wait on a terminal or an open pipe; from /dev/null it ends.
    EXPECT_EQ(shell_system("cat > '" + dir + "/in'; test -t 0 || echo not-a-terminal >> '" + dir +
                           "/in'"),
              0);
    EXPECT_EQ(testenv::read_file(dir + "/in"), "not-a-terminal\n");
    shell_reader_t r;
    ASSERT_TRUE(r.open("read x; echo \"[$x]\""));
    std::string line;
    ASSERT_TRUE(r.getline(line));
    EXPECT_EQ(line, "[]");
    EXPECT_EQ(r.close(), 0);
}

TEST(ShellRun, ReaderGivesLinesAndLongLinesInPieces) {
    shell_reader_t r;
    ASSERT_TRUE(r.open("printf 'one\\n\\nthree'; printf '%5000s\\n' x; echo err >&2; exit 2"));
    std::vector<std::string> lines;
    std::string line;
    while (r.getline(line)) lines.push_back(line);
    int status = r.close();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2].substr(0, 5), "three");
    EXPECT_EQ(lines[2].size(), 4095u);
    EXPECT_EQ(lines[3].size(), 5u + 5000u - 4095u);
    EXPECT_EQ(lines[3].back(), 'x');
    EXPECT_FALSE(r.getline(line));
    EXPECT_EQ(r.close(), -1);
}

TEST(ShellRun, ReaderClosedEarlyStillReapsTheShell) {
    shell_reader_t r;
    ASSERT_TRUE(r.open("yes"));
    std::string line;
    ASSERT_TRUE(r.getline(line));
    EXPECT_EQ(line, "y");
    int status = r.close();  // yes dies of the closed pipe
    EXPECT_FALSE(shell_succeeded(status));
}

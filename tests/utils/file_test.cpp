#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "libutils/atomicfile.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "support/testenv.h"

using namespace libutils;

namespace {

void set_mtime(const std::string& path, time_t sec, long nsec) {
    struct timespec ts[2] = {{sec, nsec}, {sec, nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), ts, 0), 0);
}

struct stat stat_of(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

}  // namespace

TEST(File, FilecopyCopiesBytesAndWholeSecondDates) {
    std::string dir = testenv::scratch_dir();
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes.push_back(char(i * 7));
    testenv::write_file(dir + "/src", bytes);
    set_mtime(dir + "/src", 1000000000, 123456789);
    ASSERT_TRUE(filecopy(dir + "/src", dir + "/dst"));
    EXPECT_EQ(testenv::read_file(dir + "/dst"), bytes);
    EXPECT_EQ(stat_of(dir + "/dst").st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(stat_of(dir + "/dst").st_mtim.tv_nsec, 0);  // whole seconds

    testenv::write_file(dir + "/empty", "");
    ASSERT_TRUE(filecopy(dir + "/empty", dir + "/empty2"));
    EXPECT_TRUE(testenv::exists(dir + "/empty2"));
    EXPECT_EQ(stat_of(dir + "/empty2").st_size, 0);

    ASSERT_TRUE(filecopy1(dir + "/src", dir + "/dst1"));
    EXPECT_EQ(testenv::read_file(dir + "/dst1"), bytes);
}

TEST(File, FilecopyOfSixteenMebibytesAndFailures) {
    std::string dir = testenv::scratch_dir();
    std::string big(16u << 20, 'x');
    big[12345] = 'y';
    testenv::write_file(dir + "/big", big);
    ASSERT_TRUE(filecopy(dir + "/big", dir + "/big2"));
    EXPECT_EQ(testenv::read_file(dir + "/big2"), big);

    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(filecopy(dir + "/missing", dir + "/x")); }),
              dir + "/missing: stat(2) error.\n");
    EXPECT_EQ(
        testenv::stderr_of([&] { EXPECT_FALSE(filecopy(dir + "/big", dir + "/no/such/dir")); }),
        dir + "/no/such/dir: No such file or directory\n");
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(copydate(dir + "/missing", dir + "/big2")); }),
              dir + "/missing: stat(2) error.\n");
}

TEST(File, GetfilesAndGetdirsSortByByte) {
    std::string dir = testenv::scratch_dir();
    testenv::write_file(dir + "/b", "");
    testenv::write_file(dir + "/a", "");
    testenv::write_file(dir + "/.hidden", "");
    testenv::write_file(dir + "/\xc3\xa9", "");  // sorts after ASCII
    mkdir(dir + "/sub");
    mkdir(dir + "/Sub");
    symlink("a", (dir + "/link").c_str());
    std::vector<std::string> files, dirs;
    ASSERT_TRUE(getfiles(files, dir));
    EXPECT_EQ(files, (std::vector<std::string>{".hidden", "a", "b", "link", "\xc3\xa9"}));
    ASSERT_TRUE(getdirs(dirs, dir));
    EXPECT_EQ(dirs, (std::vector<std::string>{"Sub", "sub"}));
    files.push_back("stale");
    EXPECT_FALSE(getfiles(files, dir + "/missing"));
    EXPECT_TRUE(files.empty());
}

TEST(File, NeedUpdateComparesToTheNanosecond) {
    std::string dir = testenv::scratch_dir();
    std::string src = dir + "/src", dst = dir + "/dst";
    testenv::write_file(src, "s");
    EXPECT_TRUE(need_update(src, dst));  // missing dst
    EXPECT_FALSE(need_update(dir + "/nosrc", src));
    testenv::write_file(dst, "d");
    set_mtime(src, 2000000000, 500);
    set_mtime(dst, 2000000000, 500);
    EXPECT_FALSE(need_update(src, dst));  // same time
    set_mtime(src, 2000000000, 501);
    EXPECT_TRUE(need_update(src, dst));  // same second, later nanoseconds
    set_mtime(src, 1999999999, 999999999);
    EXPECT_FALSE(need_update(src, dst));
}

TEST(File, AtomicWriteReplacesWholeFileOrNothing) {
    std::string dir = testenv::scratch_dir();
    std::string path = dir + "/settings";
    testenv::write_file(path, "old");
    {
        atomic_ofstream out(path);
        out << "half written";
        // destroyed without commit: the old content stays
    }
    EXPECT_EQ(testenv::read_file(path), "old");
    ASSERT_TRUE(write_file_atomically(path, "new", 3));
    EXPECT_EQ(testenv::read_file(path), "new");
    std::vector<std::string> files;
    getfiles(files, dir);
    EXPECT_EQ(files, std::vector<std::string>{"settings"});  // no temporaries left

    // A link at the target is replaced, its target left alone.
    testenv::write_file(dir + "/original", "camera");
    symlink("original", (dir + "/size0").c_str());
    ASSERT_TRUE(write_file_atomically(dir + "/size0", "turned", 6));
    EXPECT_EQ(testenv::read_file(dir + "/original"), "camera");
    EXPECT_EQ(testenv::read_file(dir + "/size0"), "turned");

    EXPECT_FALSE(write_file_atomically(dir + "/no/such/file", "x", 1));
}

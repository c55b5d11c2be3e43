// View-state files: the exact text written, the lenient reading, one file
// per picture name whatever its extension, and files that are ignored.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "glimvue/vuefile.h"
#include "support/testenv.h"

using glimvue2::vuefile_t;

namespace {

const char* const identity_text =
    "dir2l(800, 600)\n"
    "mtx3w(\t1.000000, 0.000000, 0.000000, 0.000000,\n"
    "\t0.000000, 1.000000, 0.000000, 0.000000,\n"
    "\t0.000000, 0.000000, 1.000000, 0.000000,\n"
    "\t0.000000, 0.000000, 0.000000, 1.000000)\n";

// A turned, zoomed and moved view with numbers exact in six decimals.
libgr::matrix3w_t sample_view() {
    return libgr::matrix3w_t({0, -2, 0, 0}, {2, 0, 0, 0}, {0, 0, 2, 0}, {15.5f, -3.25f, 0, 1});
}

bool same(const libgr::matrix3w_t& a, const libgr::matrix3w_t& b) {
    for (int i = 0; i < 16; ++i)
        if (a.data()[i] != b.data()[i]) return false;
    return true;
}

}  // namespace

TEST(VueFile, WritesTheIdentityViewExactly) {
    std::string dir = testenv::scratch_dir();
    vuefile_t v;
    v.size = libgr::direction2l_t(800, 600);
    ASSERT_TRUE(v.save(dir + "/IMG_1.JPG"));
    EXPECT_EQ(testenv::read_file(dir + "/IMG_1.vue"), identity_text);
}

TEST(VueFile, OnePictureNameOneFile) {
    EXPECT_EQ(glimvue2::make_vuepath("/photos/2020/IMG_0001.JPG"), "/photos/2020/IMG_0001.vue");
    EXPECT_EQ(glimvue2::make_vuepath("IMG_1.PNG"), "IMG_1.vue");
    std::string dir = testenv::scratch_dir();
    vuefile_t v, w;
    v.size = libgr::direction2l_t(1024, 768);
    v.matrix = sample_view();
    ASSERT_TRUE(v.save(dir + "/IMG_1.JPG"));
    ASSERT_TRUE(w.load(dir + "/IMG_1.PNG"));
    EXPECT_EQ(w.size, v.size);
    EXPECT_TRUE(same(w.matrix, v.matrix));
    EXPECT_TRUE(w.del(dir + "/IMG_1.PNG"));
    EXPECT_FALSE(w.del(dir + "/IMG_1.JPG"));
    EXPECT_FALSE(w.load(dir + "/IMG_1.JPG"));
}

TEST(VueFile, ReadsHandEditedLayouts) {
    struct row_t {
        const char* what;
        const char* text;
    } rows[] = {
        {"as written", identity_text},
        {"one line", "dir2l(1000,700) mtx3w(0,-2,0,0,2,0,0,0,0,0,2,0,15.5,-3.25,0,1)"},
        {"no names, line breaks anywhere", "(1000\n,\n700)\n(0 ;-2;0;0;\n2;0;0;0;0;0;2;0;15.5;-3.25;0;1"},
    };
    for (const row_t& r : rows) {
        std::istringstream in(r.text);
        vuefile_t v;
        ASSERT_TRUE(v.read(in)) << r.what;
        if (r.text == identity_text) {
            EXPECT_EQ(v.size, libgr::direction2l_t(800, 600));
            EXPECT_TRUE(same(v.matrix, libgr::matrix3w_t()));
        } else {
            EXPECT_EQ(v.size, libgr::direction2l_t(1000, 700)) << r.what;
            EXPECT_TRUE(same(v.matrix, sample_view())) << r.what;
        }
    }
}

// Files that would give a view nobody can see are ignored, and the record
// keeps what it had, so the picture is centred instead.
TEST(VueFile, IgnoresFilesThatGiveNoUsableView) {
    const char* rows[] = {
        "",
        "dir2l(800, 600)",
        "dir2l(800, 600) mtx3w(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1",
        "dir2l(800, 600) mtx3w(nan, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)",
        "dir2l(800, 600) mtx3w(1e39, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)",
        "dir2l(800, 600) mtx3w(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)",
        "dir2l(800, 600) mtx3w(1, 2, 0, 0, 2, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)",
        "dir2l(-800, 600) mtx3w(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)",
        "dir2l(99999999, 600) mtx3w(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)",
    };
    std::string dir = testenv::scratch_dir();
    for (const char* text : rows) {
        ASSERT_TRUE(testenv::write_file(dir + "/a.vue", text));
        vuefile_t v;
        v.size = libgr::direction2l_t(3, 4);
        v.matrix = sample_view();
        EXPECT_FALSE(v.load(dir + "/a.jpg")) << text;
        EXPECT_EQ(v.size, libgr::direction2l_t(3, 4)) << text;
        EXPECT_TRUE(same(v.matrix, sample_view())) << text;
    }
}

// Saving replaces the file in one step and says when it cannot.
TEST(VueFile, SavesAtomicallyAndReportsFailure) {
    std::string dir = testenv::scratch_dir();
    ASSERT_TRUE(testenv::write_file(dir + "/old.txt", "old"));
    ASSERT_EQ(::symlink((dir + "/old.txt").c_str(), (dir + "/b.vue").c_str()), 0);
    vuefile_t v;
    ASSERT_TRUE(v.save(dir + "/b.bmp"));
    EXPECT_EQ(testenv::read_file(dir + "/old.txt"), "old");  // the link is replaced, not followed
    struct stat st;
    ASSERT_EQ(::lstat((dir + "/b.vue").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));

    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(v.save(dir + "/missing/c.jpg")); }),
              dir + "/missing/c.vue: vuefile save fail, No such file or directory\n");
}

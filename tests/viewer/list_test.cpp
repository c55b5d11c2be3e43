// The picture list and the resize arithmetic, without a window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "glimvue/imagelist.h"
#include "glimvue/resizepolicy.h"
#include "support/testenv.h"

using namespace glimvue2;
using libgr::direction2l_t;

namespace {

// A sink that "loads" every file whose name is not in `broken`.
struct fake_t {
    std::set<std::string> broken;
    image_sink_t sink() {
        return image_sink_t{[] {}, [this](const std::string& p) { return !broken.count(p); }};
    }
};

std::string cwd() {
    char buf[4096];
    return ::getcwd(buf, sizeof buf) ? buf : "";
}

}  // namespace

TEST(ImageList, DirectoryGivesPicturesInByteOrderAndSkipsOthers) {
    std::string dir = testenv::scratch_dir("dir");
    for (const char* n : {"b.png", "a.txt", "IMG_1.JPG", "c.Tga", "d.jpeg.bak"})
        testenv::write_file(dir + "/" + n, "x");
    imagelist_t l;
    ASSERT_TRUE(l.setImagePath(dir));
    EXPECT_EQ(l.files(), (std::vector<std::string>{dir + "/IMG_1.JPG", dir + "/b.png",
                                                   dir + "/c.Tga"}));
    EXPECT_FALSE(l.setImagePath(dir + "/a.txt"));
    EXPECT_FALSE(l.setImagePath(testenv::scratch_dir("empty")));
}

TEST(ImageList, ListFilesAndDirectoryWordsAreOutsideData) {
    std::string dir = testenv::scratch_dir("list");
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) testenv::write_file(dir + "/" + n, "x");
    // Blank third line ends the list; lines that do not resolve (missing,
    // NUL bytes, longer than any path) are skipped, not passed on.
    testenv::write_file(dir + "/list.txt", "a.jpg \t\r\nmissing.jpg\n" +
                                               std::string("b.jpg\0x", 7) + "\n" +
                                               std::string(70000, 'z') + ".jpg\nb.jpg\n\nc.jpg\n");
    testenv::write_file(dir + "/two.txt", dir + "/a.jpg\n" + dir + "/b.jpg\n\n" + dir + "/c.jpg\n");
    testenv::write_file(dir + "/bin.txt", std::string("\xff\xfe\0\x01junk", 8));
    const std::string here = cwd();
    imagelist_t l;
    l.add_words({"-C" + dir, "-@list.txt", "-@bin.txt", "-@/dev/zero", "-@missing.txt",
                 "-Cno/such/dir", "-C", "-x", dir + "/c.jpg"});
    EXPECT_EQ(cwd(), here);
    EXPECT_EQ(l.files(), (std::vector<std::string>{dir + "/a.jpg", dir + "/b.jpg",
                                                   dir + "/c.jpg"}));
    imagelist_t two;
    two.add_words({"-@" + dir + "/two.txt"});
    EXPECT_EQ(two.files().size(), 2u);
}

TEST(ImageList, SteppingFollowsTheSkipRules) {
    struct case_t {
        const char* what;
        size_t start;
        char op;  // n next, b back, f first, l last
        size_t n;
        std::set<int> broken;
        bool result;
        size_t index;
    };
    const case_t cases[] = {
        {"Space on the last file", 7, 'n', 1, {}, false, 7},
        {"Backspace on the first file", 0, 'b', 1, {}, false, 0},
        {"Shift+Space from 3 of 8", 3, 'n', 10, {}, false, 3},
        {"Shift+Backspace from 3 of 8", 3, 'b', 10, {}, true, 0},
        {"next skips a broken file", 2, 'n', 1, {3}, true, 4},
        {"next past broken tail tries backwards", 2, 'n', 1, {3, 4, 5, 6, 7}, true, 2},
        {"back skips a broken file", 5, 'b', 1, {4}, true, 3},
        {"back with everything before broken goes forwards", 5, 'b', 1, {0, 1, 2, 3, 4}, true, 5},
        {"first skips broken", 5, 'f', 0, {0, 1}, true, 2},
        {"last skips broken", 1, 'l', 0, {7}, true, 6},
    };
    for (const auto& c : cases) {
        imagelist_t l;
        for (int i = 0; i < 8; ++i) l.setImagePath("f" + std::to_string(i) + ".jpg");
        fake_t ok;
        ASSERT_TRUE(l.initial_load(ok.sink()));
        for (size_t i = 0; i < c.start; ++i) l.next_image(1, ok.sink());
        fake_t f;
        for (int b : c.broken) f.broken.insert("f" + std::to_string(b) + ".jpg");
        bool r = c.op == 'n'   ? l.next_image(c.n, f.sink())
                 : c.op == 'b' ? l.back_image(c.n, f.sink())
                 : c.op == 'f' ? l.first_image(f.sink())
                               : l.last_image(f.sink());
        EXPECT_EQ(r, c.result) << c.what;
        EXPECT_EQ(l.index(), c.index) << c.what;
    }
    imagelist_t l;
    l.setImagePath("x.jpg");
    l.setImagePath("y.png");
    fake_t f;
    ASSERT_TRUE(l.initial_load(f.sink()));
    l.next_image(1, f.sink());
    EXPECT_EQ(l.title(), "y.png (2/2)");
    l.clear();
    EXPECT_EQ(l.title(), "");
    EXPECT_FALSE(l.next_image(1, f.sink()));
}

TEST(ResizePolicy, AlbumOptionsAskForHalfThePictureAndShowItTwiceTheWindow) {
    glimlib::option_t o;  // the album program's options
    o.resizetype = 2, o.window_ratio_of_image = 0.5f, o.image_ratio_of_window = 2;
    direction2l_t wanted = wanted_window_size({4000, 3000}, o.window_ratio_of_image);
    EXPECT_EQ(wanted, direction2l_t(2000, 1500));
    direction2l_t size = calc_window_size(wanted, {800, 600}, o, {1920, 1048});
    EXPECT_EQ(size, direction2l_t(2000, 1500));
    EXPECT_EQ(fit_scale({4000, 3000}, size, o.image_ratio_of_window), 1.0f);  // 4000 = 2 x 2000

    o.sizelimit = 2;
    EXPECT_EQ(calc_window_size(wanted, {800, 600}, o, {1920, 1048}), direction2l_t(1500, 1000));
    o.sizelimit = 1;
    EXPECT_EQ(calc_window_size(wanted, {800, 600}, o, {1920, 1048}), direction2l_t(1910, 1016));
    EXPECT_EQ(calc_window_size({100, 100}, {800, 600}, o, {1920, 1048}),
              direction2l_t(100, 100));  // shrinking is not limited by default

    EXPECT_EQ(wanted_window_size({4000, 3000}, std::nanf("")), direction2l_t(0, 0));
    EXPECT_EQ(wanted_window_size({4000, 3000}, 1e30f), direction2l_t(16384, 16384));
    EXPECT_EQ(fit_scale({800, 600}, {800, 600}, 0.875f), 0.875f);
    EXPECT_EQ(fit_scale({800, 600}, {0, 0}, 1), 0.0f);
}

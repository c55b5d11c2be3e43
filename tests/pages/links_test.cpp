// Every link of the generated pages leads to a file: albums made by the
// real chain from generated photos and from real camera files, under names
// with blanks, "#", "?", "%" and commas, with a movie when ffmpeg is there.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/movieclips.h"
#include "support/linkcheck.h"
#include "support/pagetest.h"
#include "support/testenv.h"

using namespace snapfolio;
using pagetest::PageTest;

namespace {

const char* const awkward_names[] = {"a b.JPG", "x#1.jpg", "p%20q.jpeg",
                                     "c,d.JPG", "q?.jpg",  "plain_1-x.JPG"};

}  // namespace

TEST(LinkCheck, FindsTargetsABrowserCannotReach) {
    const std::string dir = testenv::scratch_dir("check");
    for (const char* f : {"a#b.jpg", "c,d.jpg", "e f.jpg"})
        ASSERT_TRUE(testenv::write_file(dir + "/" + f, "x"));
    ASSERT_TRUE(testenv::write_file(
        dir + "/page.html",
        "<a href=\"a#b.jpg\">raw</a> <a href=\"a%23b.jpg#top\">encoded</a>\n"
        "<IMG SRC=\"e f.jpg\" SRCSET=\"e f.jpg 1x,c,d.jpg 2x,c%2Cd.jpg 3x\">\n"
        "<a href=\"mailto:me@example.com\">mail</a> <a href=\"../outside.html\">up</a>\n"));
    std::vector<std::string> broken;
    for (const auto& l : linkcheck::broken_links(dir)) broken.push_back(l.target);
    std::sort(broken.begin(), broken.end());
    // "a#b.jpg" asks for "a"; in a source set "e f.jpg 1x" names "e" (a
    // blank ends the URL), while a comma inside a URL stays part of it.
    EXPECT_EQ(broken, (std::vector<std::string>{"a#b.jpg", "e"}));
    EXPECT_EQ(linkcheck::count_links(dir), 7u);
}

TEST_F(PageTest, GeneratedAlbumWithAwkwardNamesHasNoBrokenLink) {
    std::vector<std::string> names;
    unsigned seed = 1;
    for (const char* n : awkward_names) {
        put(n, pagetest::photo(200 + int(seed) * 16, 150, seed, pagetest::full_exif("X1")));
        names.push_back(n);
        ++seed;
    }
    put("small #.jpg", pagetest::photo(40, 30, 20));
    names.push_back("small #.jpg");
    const bool movies = testenv::have_program("ffmpeg") && testenv::have_program("ffprobe");
    if (movies) {
        const std::string clip = movieclips::clip(movieclips::clip_camera_avi);
        ASSERT_FALSE(clip.empty());
        put("m o#v,1%.AVI", testenv::read_file(clip));
        names.push_back("m o#v,1%.AVI");
        g_global.shrink_width = g_global.shrink_height = 200;  // M = 2 for 640x480
    }
    pagetest::put_text(album, "good.txt", "a b.JPG\r\nm o#v,1%.AVI\r\n");
    pagetest::put_text(album, "best.txt", "c,d.JPG\r\n");
    ASSERT_TRUE(make(names));
    ASSERT_TRUE(write_book());
    auto broken = linkcheck::broken_links(root);
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
    EXPECT_GT(linkcheck::count_links(root), 60u);

    if (!movies) return;
    // The other ways of linking a movie from the compact page.
    g_global.movie_thumbnail_retina = false;
    g_global.play_size_x = g_global.play_size_y = 100;
    ASSERT_TRUE(make(names));
    broken = linkcheck::broken_links(root);
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
}

TEST_F(PageTest, CameraFilesAlbumHasNoBrokenLink) {
    SKIP_WITHOUT_CAMERA_FILES();
    std::vector<std::string> jpegs = testenv::camera_jpegs();
    ASSERT_FALSE(jpegs.empty());
    // A handful is enough: each costs a full decode.
    const char* const as[] = {"cam 1 #a.JPG", "cam%2,b.jpg", "cam ?3.jpeg"};
    std::vector<std::string> names;
    for (size_t i = 0; i < jpegs.size() && i < 3; ++i) {
        put(as[i], testenv::read_file(jpegs[i]));
        names.push_back(as[i]);
    }
    g_global.shrink_width = g_global.shrink_height = 1024;
    pagetest::put_text(album, "good.txt", std::string(as[0]) + "\r\n");
    ASSERT_TRUE(make(names));
    ASSERT_TRUE(write_book());
    const auto broken = linkcheck::broken_links(root);
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
    EXPECT_GT(linkcheck::count_links(root), 10u);
}

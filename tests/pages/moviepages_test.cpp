// Movie entries on the album pages, from movies converted by the real
// chain: the detailed entry with its size links and video, the compact
// page's linked still, and where that link leads for each play size.
#include <gtest/gtest.h>

#include <sstream>

#include "support/movieclips.h"
#include "support/linkcheck.h"
#include "support/pagetest.h"
#include "snapfolio/engine/albumentry.h"
#include "snapfolio/engine/albumpage.h"
#include "snapfolio/engine/comment.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

// A 640x480 clip (M = 1 against 512x512: movie0, movie1 320x240, movie2
// 160x120) marked best with a comment, and a 600x400 photo (L = 1).
class MovieAlbum : public pagetest::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        if (!testenv::have_program("ffmpeg") || !testenv::have_program("ffprobe")) return;
        g_global.shrink_width = g_global.shrink_height = 512;
        const std::string clip = movieclips::clip(movieclips::clip_camera_avi);
        ASSERT_FALSE(clip.empty());
        put("clip.AVI", testenv::read_file(clip));
        put("P.JPG", pagetest::photo(600, 400, 7));
        std::ostringstream err;
        ASSERT_TRUE(savecommenttxt(album, "Movies", "", "", err));
        pagetest::put_text(album, "best.txt", "clip.AVI\r\n");
        pagetest::put_text(album, "clip.txt", "movie comment\r\n");
        ASSERT_TRUE(make({"clip.AVI", "P.JPG"}));
    }
    std::string list_line_of_movie() {
        sigc::signal<void, double> progress;
        std::ostringstream err;
        testenv::stdout_of([&] { EXPECT_TRUE(makehtml(album, progress, err)) << err.str(); });
        const std::string list = testenv::read_file(album.str("list.html"));
        const size_t at = list.find("<a href=");
        return list.substr(at, list.find('\n', at) + 1 - at);
    }
};

}  // namespace

TEST_F(MovieAlbum, IndexEntryLinksEveryLevelAndPlaysTheFittingOne) {
    SKIP_WITHOUT_FFMPEG();
    const std::string k0 = pagetest::kib(album.str("original", "clip.AVI")),
                      k1 = pagetest::kib(album.str("movie0", "clip.mp4"));
    EXPECT_EQ(pagetest::page(album.str("index.html")),
              "<HTML>\n<HEAD>\n\t<meta charset=\"UTF-8\">\n\t<title>Movies</title>\n</HEAD>\n\n"
              "<BODY>\n"
              "\t<CENTER><h1>Movies</h1></CENTER>\n"
              "<p>\n"
              "\t<li>clip.AVI (Best)\n"
              "\t<br><a href=\"original/clip.AVI\">640x480 (" +
                  k0 +
                  "k)</a>\n"
                  "\t<br><a href=\"movie0/clip.mp4\">640x480 (" +
                  k1 + "k)</a> <a href=\"html/clip_2_0.html\">Retina640x480 (" + k1 +
                  "k)</a>\n"
                  "\t<br>\n"
                  "\t<table align=left border=5><td><video controls width=\"320px\" "
                  "height=\"240px\" src=\"movie0/clip.mp4\">\n"
                  "\t</video></table>\n"
                  "\t<br>movie comment\n"
                  "\t<br clear=all>\n"
                  "\t00:00:01.00\n"
                  "\t<p>\n"
                  "\t<li>P.JPG\n"
                  "\t<br><a href=\"size0/P.JPG\">600x400 (" +
                  pagetest::kib(album.str("size0", "P.JPG")) +
                  "k)</a>\n"
                  "\t<br><a href=\"size0/P.JPG\"><IMG SRC=\"size1/P.JPG\" SRCSET=\"size1/P.JPG "
                  "1x,size0/P.JPG 2x\" ALIGN=\"left\"></a>\n"
                  "\t<br clear=all>\n"
                  "\t<p>\n"
                  "\n"
                  "<p><center><a href=\"../index.html\">UP</a></center>\n" +
                  pagetest::foot("me"));
    EXPECT_EQ(testenv::read_file(album.str("txt", "count.txt")), "1+1\n");

    // Without double-density stills the video plays level M at its size.
    g_global.movie_thumbnail_retina = false;
    sigc::signal<void, double> progress;
    std::ostringstream err;
    bool made = false;
    testenv::stdout_of([&] { made = makehtml(album, progress, err); });
    ASSERT_TRUE(made) << err.str();
    EXPECT_NE(testenv::read_file(album.str("index.html"))
                  .find("\t<table align=left border=5><td><video controls "
                        "src=\"movie1/clip.mp4\">\n\t</video></table>\n"),
              std::string::npos);
}

TEST_F(MovieAlbum, ListPageLinksAPageOrFileTheChainWrote) {
    SKIP_WITHOUT_FFMPEG();
    const std::string still =
        "\"><IMG SRC=\"movie2/clip.jpg\" SRCSET=\"movie2/clip.jpg 1x,movie1/clip.jpg 2x\" "
        "border=2></a>\n";
    const struct {
        uint64_t play_x, play_y;
        bool retina;
        const char* target;
    } cases[] = {
        // Fits the play size at full size (k = 0): the converted movie
        // itself, with or without double-density pages.
        {1920, 1080, true, "movie0/clip.mp4"},
        {1920, 1080, false, "movie0/clip.mp4"},
        // One halving (k = 1 = M).
        {320, 240, true, "html/clip_2_0.html"},
        {320, 240, false, "html/clip_1_1.html"},
        // Three halvings, more than the movie's levels: its smallest page.
        {100, 100, true, "html/clip_2_0.html"},
        {100, 100, false, "html/clip_1_1.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.play_x) + "x" + std::to_string(c.play_y) +
                     (c.retina ? " retina" : ""));
        g_global.play_size_x = c.play_x;
        g_global.play_size_y = c.play_y;
        g_global.movie_thumbnail_retina = c.retina;
        EXPECT_EQ(list_line_of_movie(), std::string("<a href=\"") + c.target + still);
        EXPECT_TRUE(testenv::exists(album.str(c.target)));
    }
    ASSERT_TRUE(write_book());
    const auto broken = linkcheck::broken_links(root);
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
}

// Every target the compact page can name for a movie of level M exists in
// an album whose movie chain ran: movie0/<mp4>, <base>_1_k (k = 1 .. M) and
// <base>_2_k (k = 0 .. M-1).
TEST(MoviePlayTarget, NamesOnlyWhatTheMovieChainWrites) {
    for (uint64_t level = 0; level <= 3; ++level)
        for (uint64_t halvings = 0; halvings <= 5; ++halvings)
            for (bool retina : {false, true}) {
                const std::string t = movie_play_target("a b.MOV", level, halvings, retina);
                SCOPED_TRACE(t);
                if (t == "movie0/a b.mp4") {
                    EXPECT_TRUE(level == 0 || halvings == 0);
                    continue;
                }
                const uint64_t k = std::min(halvings, level);
                EXPECT_EQ(t, retina ? "html/a b_2_" + std::to_string(k - 1) + ".html"
                                    : "html/a b_1_" + std::to_string(k) + ".html");
                EXPECT_GE(k, 1u);
            }
}

// The movie entries' size links and the movie zoom pages. The level files
// are clips copied into place (the pages only identify and measure them), so
// no conversion runs here.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "support/movieclips.h"
#include "support/saved_global.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/message.h"
#include "snapfolio/engine/moviepage.h"
#include "support/testenv.h"

using namespace snapfolio;
using movieclips::capture_t;
using testenv::saved_global_t;

namespace {

std::string kib(const std::string& file) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) return "?";
    return std::to_string((st.st_size + 1023) / 1024);
}

bool put_level(const path_t& path, const std::string& level, movieclips::e_clip_t clip,
               const std::string& mp4) {
    ::mkdir(path.str(level).c_str(), 0755);
    return testenv::write_file(path.str(level, mp4), testenv::read_file(movieclips::clip(clip)));
}

// The page up to its foot, and whether the foot follows.
std::string body_of(const std::string& page) {
    size_t foot = page.find("<hr>\n");
    EXPECT_NE(foot, std::string::npos);
    EXPECT_NE(page.find("</BODY>\n</HTML>\n", foot), std::string::npos);
    return page.substr(0, foot);
}

}  // namespace

TEST(MoviePage, ZoomPageNames) {
    std::vector<std::string> p1, p2;
    movie_zoompages("MVI_0001.MOV", 2, p1, p2);
    EXPECT_EQ(p1, (std::vector<std::string>{"MVI_0001_1_1.html", "MVI_0001_1_2.html"}));
    EXPECT_EQ(p2, (std::vector<std::string>{"MVI_0001_2_0.html", "MVI_0001_2_1.html"}));
    movie_zoompages("a.mov", 0, p1, p2);
    EXPECT_TRUE(p1.empty() && p2.empty());
}

TEST(MoviePage, SizeLinksNameEveryLevelBelowTheFittingOne) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    // 1280x720 against a 512 limit: M = 2, lines for the original, level 0
    // and level 1.
    g_global.shrink_width = g_global.shrink_height = 512;
    path_t path(testenv::scratch_dir("links"), "", "album");
    const std::string name = "my clip #1,a.MOV", mp4 = "my clip #1,a.mp4";
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_hd_mp4, name));
    ASSERT_TRUE(put_level(path, "movie0", movieclips::clip_hd_mp4, mp4));
    ASSERT_TRUE(put_level(path, "movie1", movieclips::clip_camera_avi, mp4));

    std::vector<std::string> p1, p2;
    movie_zoompages(name, 2, p1, p2);
    std::ostringstream out;
    std::string info;
    capture_t cap;
    bool ok = writefflink(out, path, "", {"movie0", "movie1", "movie2"}, p1, p2, name, info);
    cap.release();
    ASSERT_TRUE(ok) << cap.err();
    EXPECT_EQ(info, "00:00:01.00");
    const std::string k0 = kib(path.str("original", name)), k1 = kib(path.str("movie0", mp4)),
                      k2 = kib(path.str("movie1", mp4));
    EXPECT_EQ(out.str(),
              "\t<br><a href=\"original/my%20clip%20%231%2Ca.MOV\">1280x720 (" + k0 +
                  "k)</a>\n"
                  "\t<br><a href=\"movie0/my%20clip%20%231%2Ca.mp4\">1280x720 (" +
                  k1 + "k)</a> <a href=\"html/my%20clip%20%231%2Ca_2_0.html\">Retina1280x720 (" +
                  k1 +
                  "k)</a>\n"
                  "\t<br><a href=\"html/my%20clip%20%231%2Ca_1_1.html\">640x480 (" +
                  k2 + "k)</a> <a href=\"html/my%20clip%20%231%2Ca_2_1.html\">Retina640x480 (" +
                  k2 + "k)</a>\n");

    // With a prefix (pages one level up) and a level file missing.
    ASSERT_EQ(::unlink(path.str("movie1", mp4).c_str()), 0);
    std::ostringstream out2;
    capture_t cap2;
    ok = writefflink(out2, path, "../", {"movie0", "movie1", "movie2"}, p1, p2, name, info);
    cap2.release();
    EXPECT_FALSE(ok);
    EXPECT_EQ(out2.str().find("\t<br><a href=\"../original/my%20clip"), 0u) << out2.str();
    EXPECT_EQ(cap2.err(), path.str("movie1", mp4) + ": No such file or directory\n");
}

TEST(MoviePage, ZoomPagesShowEachLevelPlainAndAtHalfSize) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    g_global.shrink_width = g_global.shrink_height = 1024;
    g_global.html_header = "<meta charset=\"UTF-8\">";
    path_t path(testenv::scratch_dir("zoom"), "", "album");
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_fullhd_mov, "A.MOV"));
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_hd_mp4, "b c.mp4"));
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_camera_avi, "small.avi"));
    ASSERT_TRUE(testenv::write_file(path.str("original", "IMG.JPG"), "not looked at"));
    ::mkdir(path.str("txt").c_str(), 0755);
    ASSERT_TRUE(testenv::write_file(path.str("txt", "best.txt"), "A.MOV\r\n"));
    ASSERT_TRUE(testenv::write_file(path.str("txt", "fail.txt"), "b c.mp4\r\n"));

    sigc::signal<void, double> progress;
    std::vector<double> emitted;
    progress.connect([&](double v) { emitted.push_back(v); });
    capture_t cap;
    bool ok = makehtmlffzoom(path, progress);
    cap.release();
    ASSERT_TRUE(ok) << cap.err();
    // "A.MOV", "IMG.JPG", "b c.mp4", "small.avi": the movies' positions.
    EXPECT_EQ(emitted, (std::vector<double>{1.0 / 4, 3.0 / 4, 4.0 / 4}));

    const std::string head = "<HTML>\n<HEAD>\n\t<meta charset=\"UTF-8\">\n</HEAD>\n\n<BODY>\n";
    const std::string marks = std::string(" (") + getmsg(msg_best) + ")";
    EXPECT_EQ(body_of(testenv::read_file(path.str("html", "A_1_1.html"))),
              head + "\t<li>A.mp4" + marks +
                  "\n\t<br clear=all>\n\t<video controls>\n\t<source src=\"../movie1/A.mp4\">\n"
                  "\t</video>\t<p>\n");
    EXPECT_EQ(body_of(testenv::read_file(path.str("html", "A_2_0.html"))),
              head + "\t<li>A.mp4" + marks +
                  "\n\t<br clear=all>\n\t<video controls  width=\"960px\" height=\"540px\" "
                  "src=\"../movie0/A.mp4\">\n\t</video>\n");
    EXPECT_EQ(body_of(testenv::read_file(path.str("html", "b c_2_0.html"))),
              head +
                  "\t<li>b c.mp4\n\t<br clear=all>\n\t<video controls  width=\"640px\" "
                  "height=\"360px\" src=\"../movie0/b%20c.mp4\">\n\t</video>\n");
    EXPECT_NE(testenv::read_file(path.str("html", "b c_1_1.html"))
                  .find("\t<source src=\"../movie1/b%20c.mp4\">\n"),
              std::string::npos);

    for (const char* absent : {"A_1_0.html", "A_2_1.html", "A_1_2.html", "small_1_1.html",
                               "small_2_0.html", "IMG_1_1.html"})
        EXPECT_FALSE(testenv::exists(path.str("html", absent))) << absent;
}

TEST(MoviePage, ZoomPagesFailWhenTheyCannotBeWritten) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    path_t path(testenv::scratch_dir("nohtml"), "", "album");
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_fullhd_mov, "A.MOV"));
    ASSERT_TRUE(testenv::write_file(path.str("html"), "a file where the folder should be"));
    sigc::signal<void, double> progress;
    capture_t cap;
    EXPECT_FALSE(makehtmlffzoom(path, progress));
    cap.release();
    EXPECT_EQ(cap.err(), path.str("html", "A_1_1.html") + ": write open error.\n");

    // No "original" folder: nothing to do.
    path_t empty(testenv::scratch_dir("noorig"), "", "album");
    EXPECT_TRUE(makehtmlffzoom(empty, progress));
}

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "snapfolio/engine/comment.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

struct album_dir {
    std::string root = testenv::scratch_dir("root");
    path_t path{root, "", "alb"};
    std::string txt = root + "/alb/txt";

    explicit album_dir(bool with_txt = true) {
        mkdir((root + "/alb").c_str(), 0755);
        if (with_txt) mkdir(txt.c_str(), 0755);
    }
    void put(const std::string& file, const std::string& bytes) const {
        ASSERT_TRUE(testenv::write_file(txt + "/" + file, bytes));
    }
    std::string get(const std::string& file) const { return testenv::read_file(txt + "/" + file); }
};

}  // namespace

TEST(AlbumComment, HeadFileGivesTitleAndTheRestByteForByte) {
    album_dir a;
    a.put("head.txt", "Trip\r\nTrip\r\nabove 1\r\n\r\nabove 2");
    a.put("last.txt", "below\r\n");
    std::string title = "t", head = "h", last = "l";
    bool ok = false;
    EXPECT_EQ(testenv::stderr_of([&] { ok = loadcommenttxt(a.path, title, head, last); }), "");
    ASSERT_TRUE(ok);
    EXPECT_EQ(title, "Trip");
    EXPECT_EQ(head, "above 1\r\n\r\nabove 2");
    EXPECT_EQ(last, "below\r\n");
}

TEST(AlbumComment, DifferingTitleLinesKeepLineOneAndWarn) {
    album_dir a;
    a.put("head.txt", "First\r\nSecond\r\nhead\r\n");
    std::string title, head, last = "unchanged";
    EXPECT_EQ(testenv::stderr_of([&] { loadcomment(a.txt, title, head, last); }),
              a.txt + "/head.txt: title different.\nFirst\r\nSecond\r\n");
    EXPECT_EQ(title, "First");
    EXPECT_EQ(head, "head\r\n");
    EXPECT_EQ(last, "unchanged");  // no last.txt
}

TEST(AlbumComment, UpperCaseFilesAreReadWhenLowerCaseAreMissing) {
    album_dir a;
    a.put("HEAD.TXT", "Old camera\r\nOld camera\r\n");
    a.put("LAST.TXT", "end");
    std::string title, head = "h", last;
    ASSERT_TRUE(loadcommenttxt(a.path, title, head, last));
    EXPECT_EQ(title, "Old camera");
    EXPECT_EQ(head, "");
    EXPECT_EQ(last, "end");
}

TEST(AlbumComment, MissingOrShortFilesLeaveTextsAlone) {
    album_dir a;
    std::string title = "t", head = "h", last = "l";
    loadcomment(a.txt, title, head, last);
    EXPECT_EQ(title + head + last, "thl");

    // An empty first line keeps the title; a single line is no mismatch.
    a.put("head.txt", "\nrest");
    testenv::stderr_of([&] { loadcomment(a.txt, title, head, last); });
    EXPECT_EQ(title, "t");
    EXPECT_EQ(head, "");

    a.put("head.txt", "Only");
    EXPECT_NE(testenv::stderr_of([&] { loadcomment(a.txt, title, head, last); }),
              "");  // "Only" differs from ""
    EXPECT_EQ(title, "Only");
}

TEST(AlbumComment, MissingTxtDirectoryIsReported) {
    album_dir a(false);
    std::string title, head, last;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_FALSE(loadcommenttxt(a.path, title, head, last)); }),
              a.txt + ": stat fail, No such file or directory\n");
}

TEST(AlbumComment, SaveWritesTitleTwiceAndCrLfLines) {
    album_dir a(false);
    std::ostringstream err;
    ASSERT_TRUE(savecommenttxt(a.path, "旅行", "line 1\nline 2\r\n\nline 4\n", "end", err));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(a.get("head.txt"), "旅行\r\n旅行\r\nline 1\r\nline 2\r\n\r\nline 4\r\n");
    EXPECT_EQ(a.get("last.txt"), "end\r\n");

    // Loading gives the texts back with CR LF ends.
    std::string title, head, last;
    ASSERT_TRUE(loadcommenttxt(a.path, title, head, last));
    EXPECT_EQ(title, "旅行");
    EXPECT_EQ(head, "line 1\r\nline 2\r\n\r\nline 4\r\n");
    EXPECT_EQ(last, "end\r\n");

    ASSERT_TRUE(savecommenttxt(a.path, "", "", "", err));
    EXPECT_EQ(a.get("head.txt"), "\r\n\r\n");
    EXPECT_EQ(a.get("last.txt"), "");
}

TEST(AlbumComment, UnwritableDirectoryIsReportedOnTheCallersStream) {
    std::string root = testenv::scratch_dir("root");
    testenv::write_file(root + "/alb", "a plain file where the album should be");
    std::ostringstream err;
    EXPECT_FALSE(savecommenttxt(path_t(root, "", "alb"), "t", "", "", err));
    EXPECT_EQ(err.str(), root + "/alb/txt/head.txt: file open fail, Not a directory\n");
}

TEST(PhotoComment, SaveThenLoadGivesCrLfLines) {
    album_dir a;
    std::string albumdir = a.path.str();
    ASSERT_TRUE(savephotocomment("first\nsecond", albumdir, "P1010001.JPG"));
    EXPECT_EQ(a.get("P1010001.txt"), "first\r\nsecond\r\n");
    std::string text;
    ASSERT_TRUE(loadphotocomment(text, a.path, "P1010001.JPG"));
    EXPECT_EQ(text, "first\r\nsecond\r\n");

    // A movie of the same base name shares the comment.
    ASSERT_TRUE(loadphotocomment(text, a.path, "P1010001.MOV"));
    EXPECT_EQ(text, "first\r\nsecond\r\n");

    std::vector<std::string> lines{"kept"};
    ASSERT_TRUE(loadphotocommentlines(lines, a.path, "P1010001.JPG"));
    EXPECT_EQ(lines, (std::vector<std::string>{"kept", "first\r", "second\r"}));
}

TEST(PhotoComment, EmptyTextRemovesTheFile) {
    album_dir a;
    a.put("IMG_1.txt", "old\r\n");
    EXPECT_TRUE(savephotocomment("", a.path.str(), "IMG_1.jpg"));
    EXPECT_FALSE(testenv::exists(a.txt + "/IMG_1.txt"));
    EXPECT_TRUE(savephotocomment("", a.path.str(), "IMG_1.jpg"));  // none: still fine
    std::string text = "x";
    EXPECT_FALSE(loadphotocomment(text, a.path, "IMG_1.jpg"));
    EXPECT_EQ(text, "x");
}

TEST(PhotoComment, UpperCaseFileIsReadWhenTheLowerCaseOneIsMissing) {
    album_dir a;
    a.put("DSC0001.TXT", "old style\r\n");
    std::string text;
    ASSERT_TRUE(loadphotocomment(text, a.path, "DSC0001.JPG"));
    EXPECT_EQ(text, "old style\r\n");
    a.put("DSC0001.txt", "new\r\n");
    ASSERT_TRUE(loadphotocomment(text, a.path, "DSC0001.JPG"));
    EXPECT_EQ(text, "new\r\n");
}

TEST(PhotoComment, DeletingACommentReadFromTheUpperCaseFileRemovesIt) {
    album_dir a;
    a.put("DSC0001.TXT", "old style\r\n");
    EXPECT_TRUE(savephotocomment("", a.path.str(), "DSC0001.JPG"));
    std::string text;
    EXPECT_FALSE(loadphotocomment(text, a.path, "DSC0001.JPG"));
}

TEST(PhotoComment, UnwritableCommentIsReported) {
    album_dir a(false);
    EXPECT_EQ(
        testenv::stderr_of([&] { EXPECT_FALSE(savephotocomment("text", a.path.str(), "a.jpg")); }),
        a.txt + "/a.txt: write open error, No such file or directory\n");
}

TEST(PhotoComment, LinesPrintAsBreaksAndParagraphs) {
    struct {
        std::vector<std::string> lines;
        int indent;
        const char* html;
    } cases[] = {
        {{"a", "", "b"}, 1, "\t<br>a\n\t<p>b\n"},
        {{"a", "b"}, 0, "<br>a\n<br>b\n"},
        {{}, 2, ""},
        {{"", "x", "y"}, 0, "<p>x\n<br>y\n"},
        {{"a", "", "", "b"}, 1, "\t<br>a\n\t<p>\t<p>b\n"},
        {{"a", ""}, 2, "\t\t<br>a\n\t\t<p>"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        writephotocomment(out, c.lines, c.indent);
        EXPECT_EQ(out.str(), c.html);
    }
}

// Whole generated pages of small constructed albums against the text they
// must hold: index, list and zoom pages and the counter, with marks,
// comments, EXIF lines, head and last texts, photos that fit the shrink
// limit (no zoom pages, no links around their pictures) and photos that do
// not.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "libutils/file.h"
#include "support/pagetest.h"
#include "snapfolio/engine/albumpage.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/comment.h"
#include "support/testenv.h"

using namespace snapfolio;
using pagetest::PageTest;

namespace {

std::string head(const std::string& header, const std::string* title) {
    std::string h = "<HTML>\n<HEAD>\n";
    if (!header.empty()) h += "\t" + header + "\n";
    if (title) h += "\t<title>" + *title + "</title>\n";
    return h + "</HEAD>\n\n<BODY>\n";
}

const std::string header = "<meta charset=\"UTF-8\">";

// The description lines of full_exif("X1") and camera_only_exif("Y2") with
// "<br>", by the rules of the description writer.
const std::string exif_a =
    "\t2024:05:06 07:08:09\n"
    "\t<br>TestCam, X1\n"
    "\t<br>, f/2.8, 1/250sec, [ESP]\n"
    "\t<br>\n"
    "\t<br>, \n";
const std::string exif_c =
    "\tTestCam, Y2\n"
    "\t<br>\n"
    "\t<br>\n"
    "\t<br>, \n";

}  // namespace

// Three photos against a 64x64 limit: A 256x192 (L = 2), B 48x32 (L = 0),
// C 100x80 (L = 1); A marked best and print with a comment, B marked fail
// only, C good only.
class ConstructedAlbum : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        put("A.JPG", pagetest::photo(256, 192, 1, pagetest::full_exif("X1")));
        put("B.JPG", pagetest::photo(48, 32, 2));
        put("C.JPG", pagetest::photo(100, 80, 3, pagetest::camera_only_exif("Y2")));
        std::ostringstream err;
        ASSERT_TRUE(savecommenttxt(album, "Trip", "Above one\nAbove two\n", "Below\n", err));
        pagetest::put_text(album, "best.txt", "A.JPG\r\n");
        pagetest::put_text(album, "print.txt", "A.JPG\r\n");
        pagetest::put_text(album, "fail.txt", "B.JPG\r\n");
        pagetest::put_text(album, "good.txt", "C.JPG\r\n");
        pagetest::put_text(album, "A.txt", "first\r\n\r\nsecond\r\n");
        ASSERT_TRUE(make({"A.JPG", "B.JPG", "C.JPG"}));
    }
    std::string k(const std::string& level, const std::string& name) {
        return pagetest::kib(album.str(level, name));
    }
};

TEST_F(ConstructedAlbum, IndexPageHoldsEveryEntryInOrder) {
    const std::string title = "Trip";
    EXPECT_EQ(pagetest::page(album.str("index.html")),
              head(header, &title) +
                  "\t<CENTER><h1>Trip</h1></CENTER>\n"
                  "<br>Above one\n"
                  "<br>Above two\n"
                  "<p>\n"
                  "\t<li>A.JPG (Best, Print)\n"
                  "\t<br><a href=\"size0/A.JPG\">256x192 (" +
                  k("size0", "A.JPG") +
                  "k)</a>\n"
                  "\t<br><a href=\"html/A_1.html\">128x96 (" +
                  k("size1", "A.JPG") +
                  "k)</a>\n"
                  "\t<br><table align=left border=5><td><a href=\"html/A_1.html\"><IMG "
                  "SRC=\"size2/A.JPG\" SRCSET=\"size2/A.JPG 1x,size1/A.JPG 2x\" "
                  "ALIGN=\"left\"></a></table>\n"
                  "\t<br>first\n"
                  "\t<p>second\n"
                  "\t<br clear=all>\n" +
                  exif_a +
                  "\t<p>\n"
                  "\n"
                  "\t<li>B.JPG (Fail)\n"
                  "\t<br><IMG SRC=\"size0/B.JPG\" ALIGN=\"left\">\n"
                  "\t<br clear=all>\n"
                  "\t<p>\n"
                  "\n"
                  "\t<li>C.JPG\n"
                  "\t<br><a href=\"size0/C.JPG\">100x80 (" +
                  k("size0", "C.JPG") +
                  "k)</a>\n"
                  "\t<br><table align=left border=5><td><a href=\"size0/C.JPG\"><IMG "
                  "SRC=\"size1/C.JPG\" SRCSET=\"size1/C.JPG 1x,size0/C.JPG 2x\" "
                  "ALIGN=\"left\"></a></table>\n"
                  "\t<br clear=all>\n" +
                  exif_c +
                  "\t<p>\n"
                  "\n"
                  "<br>Below\n"
                  "<p><center><a href=\"../index.html\">UP</a></center>\n" +
                  pagetest::foot("me"));
}

TEST_F(ConstructedAlbum, ListPageHoldsOneLinkedThumbnailPerPhoto) {
    const std::string title = "Trip";
    EXPECT_EQ(pagetest::page(album.str("list.html")),
              head(header, &title) +
                  "\t<CENTER><h1>Trip</h1></CENTER>\n"
                  "<br>Above one\n"
                  "<br>Above two\n"
                  "<br>\n"
                  "\n"
                  "<a href=\"html/A_2.html\"><IMG SRC=\"thumb/A.JPG\" "
                  "SRCSET=\"size3/A.JPG 1x,size2/A.JPG 2x\" border=2></a>\n"
                  "<a href=\"size0/B.JPG\"><IMG SRC=\"thumb/B.JPG\" "
                  "SRCSET=\"size1/B.JPG 1x,size0/B.JPG 2x\"></a>\n"
                  "<a href=\"html/C_1.html\"><IMG SRC=\"thumb/C.JPG\" "
                  "SRCSET=\"size2/C.JPG 1x,size1/C.JPG 2x\" border=2></a>\n"
                  "<br>Below\n"
                  "<p><center><a href=\"../index.html\">UP</a></center>\n" +
                  pagetest::foot("me"));
}

TEST_F(ConstructedAlbum, ZoomPagesLeadToTheNextLargerSize) {
    const std::string comment = "\t<br>first\n\t<p>second\n";
    struct case_t {
        const char* page;
        const char* entry;  // the entry line: good without other marks has no mark list
        const char* link;   // where the picture leads
        const char* shown;  // the size shown, and the one for twice the density
        const char* dense;
        const std::string& text;
        const std::string& exif;
    } cases[] = {
        {"A_1.html", "A.JPG (Best, Print)", "../size0/A.JPG", "size1", "size0", comment, exif_a},
        {"A_2.html", "A.JPG (Best, Print)", "A_1.html", "size2", "size1", comment, exif_a},
        {"C_1.html", "C.JPG", "../size0/C.JPG", "size1", "size0", "", exif_c},
    };
    const std::string top = head(header, nullptr);
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string file = std::string(c.entry).substr(0, 5);
        const std::string shown = std::string("../") + c.shown + "/" + file;
        EXPECT_EQ(pagetest::page(album.str("html", c.page)),
                  top + "\t<li>" + c.entry + "\n\t<br clear=all>\n<a href=\"" + c.link +
                      "\"><IMG SRC=\"" + shown + "\" SRCSET=\"" + shown + " 1x,../" + c.dense +
                      "/" + file + " 2x\" ALIGN=\"left\"></a>\n" + c.text +
                      "\t<br clear=all>\n" + c.exif + pagetest::foot("me"));
    }
    std::vector<std::string> pages;
    ASSERT_TRUE(libutils::getfiles(pages, album.str("html")));
    EXPECT_EQ(pages, (std::vector<std::string>{"A_1.html", "A_2.html", "C_1.html"}));
}

TEST_F(ConstructedAlbum, CounterWithoutMoviesBeginsWithPlus) {
    EXPECT_EQ(testenv::read_file(album.str("txt", "count.txt")), "+3\n");
}

// Every photo fits the limit, no title, header or address: the plainest
// pages there are.
TEST_F(PageTest, AlbumOfSmallPhotosHasNoLinksAroundPicturesNorZoomPages) {
    g_global.html_header.clear();
    g_global.html_address.clear();
    put("s 1.jpg", pagetest::photo(64, 48, 4));
    put("s2.jpeg", pagetest::photo(32, 64, 5));
    ASSERT_TRUE(make({"s 1.jpg", "s2.jpeg"}));
    const std::string title;
    EXPECT_EQ(pagetest::page(album.str("index.html")),
              head("", &title) +
                  "\t<CENTER><h1></h1></CENTER>\n"
                  "<p>\n"
                  "\t<li>s 1.jpg\n"
                  "\t<br><IMG SRC=\"size0/s%201.jpg\" ALIGN=\"left\">\n"
                  "\t<br clear=all>\n"
                  "\t<p>\n"
                  "\n"
                  "\t<li>s2.jpeg\n"
                  "\t<br><IMG SRC=\"size0/s2.jpeg\" ALIGN=\"left\">\n"
                  "\t<br clear=all>\n"
                  "\t<p>\n"
                  "\n"
                  "<p><center><a href=\"../index.html\">UP</a></center>\n" +
                  pagetest::foot(""));
    EXPECT_EQ(pagetest::page(album.str("list.html")),
              head("", &title) +
                  "\t<CENTER><h1></h1></CENTER>\n"
                  "<br>\n"
                  "\n"
                  "<a href=\"size0/s%201.jpg\"><IMG SRC=\"thumb/s%201.jpg\" "
                  "SRCSET=\"size1/s%201.jpg 1x,size0/s%201.jpg 2x\"></a>\n"
                  "<a href=\"size0/s2.jpeg\"><IMG SRC=\"thumb/s2.jpeg\" "
                  "SRCSET=\"size1/s2.jpeg 1x,size0/s2.jpeg 2x\"></a>\n"
                  "<p><center><a href=\"../index.html\">UP</a></center>\n" +
                  pagetest::foot(""));
    std::vector<std::string> pages;
    EXPECT_TRUE(libutils::getfiles(pages, album.str("html")));
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(testenv::read_file(album.str("txt", "count.txt")), "+2\n");
}

TEST_F(PageTest, PagesThatCannotBeWrittenFailTheChainWithOneLine) {
    // No album folder at all: the page cannot be created.
    const path_t nowhere(root, "", "none");
    sigc::signal<void, double> progress;
    std::ostringstream err;
    EXPECT_FALSE(makehtml(nowhere, progress, err));
    EXPECT_EQ(err.str(), nowhere.str("index.html") + ": open error, No such file or directory\n");

    // A folder where the page belongs: the old one stays, the chain stops.
    put("A.JPG", pagetest::photo(128, 96, 1));
    ASSERT_EQ(::mkdir(album.str("index.html").c_str(), 0755), 0);
    testing::AssertionResult r = make({"A.JPG"});
    ASSERT_FALSE(r);
    const std::string text = r.message();
    EXPECT_NE(
        text.find(album.str("index.html") + ": write error, Is a directory\nmakehtml() fail.\n"),
        std::string::npos)
        << text;
    EXPECT_FALSE(testenv::exists(album.str("list.html")));

    // Zoom pages: "html" is a file.
    ASSERT_EQ(::rmdir(album.str("index.html").c_str()), 0);
    testenv::run("rm -rf " + testenv::shell_quote(album.str("html")));
    ASSERT_TRUE(testenv::write_file(album.str("html"), "not a folder"));
    r = make({"A.JPG"});
    ASSERT_FALSE(r);
    EXPECT_NE(
        std::string(r.message()).find(album.str("html", "A_1.html") + ": write open error.\n"),
        std::string::npos)
        << r.message();
    EXPECT_NE(std::string(r.message()).find("makehtmlzoom() fail.\n"), std::string::npos);
}

TEST_F(PageTest, PagesAreReplacedWholeAndLeaveNoTemporaries) {
    put("A.JPG", pagetest::photo(128, 96, 1));
    ASSERT_TRUE(make({"A.JPG"}));
    // A page that was a link (say, to a shared template) is replaced, not
    // written through.
    const std::string shared = root + "/shared.html";
    ASSERT_TRUE(testenv::write_file(shared, "keep me"));
    ASSERT_EQ(::unlink(album.str("list.html").c_str()), 0);
    ASSERT_EQ(::symlink(shared.c_str(), album.str("list.html").c_str()), 0);
    ASSERT_TRUE(make({"A.JPG"}));
    EXPECT_EQ(testenv::read_file(shared), "keep me");
    EXPECT_NE(testenv::read_file(album.str("list.html")).find("<IMG SRC=\"thumb/A.JPG\""),
              std::string::npos);
    std::string leftovers;
    testenv::run("find " + testenv::shell_quote(album.str()) + " -name '.*'", &leftovers);
    EXPECT_EQ(leftovers, "");
}

// Saving what the album dialogs curate: mark lists and comments with every
// failed write reported and the others still written, the secret flag, the
// collections' albums and their selective rebuild.
#include <sstream>

#include "albumtest.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/curate.h"

using albumtest::AlbumTest;
using namespace snapfolio;

namespace {

class CurateTest : public AlbumTest {
  protected:
    void SetUp() override {
        AlbumTest::SetUp();
        limit(50, 50);
        g_global.album = root;
        put("A.JPG", albumtest::jpeg(64, 48, 1));
        put("B.JPG", albumtest::jpeg(64, 48, 2));
        albumtest::run_t r = albumtest::make_album(camera, {{"A.JPG", 0}, {"B.JPG", 0}}, album);
        ASSERT_TRUE(r.ok) << r.err << r.log;
    }
    // A directory where a file belongs: its write fails, even for root.
    void block(const std::string& file) {
        ::mkdir(file.c_str(), 0755);
        testenv::write_file(file + "/keep", "x");
    }
};

}  // namespace

TEST(QuarterTurns, DegreesBecomeQuarterTurnsAndOtherAnglesAreReported) {
    const struct {
        int angle;
        uint64_t turns;
        const char* message;
    } cases[] = {{0, 0, ""},   {90, 1, ""},   {180, 2, ""},
                 {270, 3, ""}, {45, 0, "P.JPG: 45: not 90/180/270.\n"},
                 {360, 0, "P.JPG: 360: not 90/180/270.\n"}};
    for (const auto& c : cases) {
        std::ostringstream err;
        EXPECT_EQ(quarter_turns("P.JPG", c.angle, err), c.turns) << c.angle;
        EXPECT_EQ(err.str(), c.message);
    }
}

TEST_F(CurateTest, EveryMarkListThatCannotBeWrittenIsReportedAndTheOthersAreSaved) {
    album_t marks;
    best_t good, fail;
    marks.load(album);
    good.load(album, "good.txt");
    fail.load(album, "fail.txt");
    marks.best.insert("B.JPG");
    marks.best.insert("A.JPG");
    marks.print.insert("A.JPG");
    good.insert("A.JPG");
    fail.insert("B.JPG");
    block(album.str("txt", "print.txt"));
    block(album.str("txt", "fail.txt"));
    bool best_changed = false;
    std::ostringstream err;
    EXPECT_FALSE(save_album_marks(marks, good, fail, best_changed, err));
    EXPECT_EQ(err.str(), album.str("txt", "print.txt") + ": write error, Is a directory\n" +
                             album.str("txt", "fail.txt") + ": write error, Is a directory\n");
    EXPECT_EQ(testenv::read_file(album.str("txt", "best.txt")), "A.JPG\r\nB.JPG\r\n");
    EXPECT_EQ(testenv::read_file(album.str("txt", "good.txt")), "A.JPG\r\n");
    EXPECT_TRUE(best_changed);
    EXPECT_TRUE(testenv::exists(root + "/_Best/txt"));
    // What failed stays to be saved again.
    EXPECT_TRUE(marks.print.dirty);
    EXPECT_TRUE(fail.dirty);

    // Nothing changed: nothing written, the best-of pages stay.
    album_t again;
    best_t good2, fail2;
    again.load(album);
    good2.load(album, "good.txt");
    fail2.load(album, "fail.txt");
    bool changed = false;
    std::ostringstream none;
    EXPECT_TRUE(save_album_marks(again, good2, fail2, changed, none));
    EXPECT_FALSE(changed);
    EXPECT_EQ(none.str(), "");
}

TEST_F(CurateTest, CommentsAreSavedPastAFailureAndOnlyAGoodOneTouchesTheBestOf) {
    best_t good;
    good.load(album, "good.txt");
    good.insert("B.JPG");
    block(album.str("txt", "A.txt"));
    const struct {
        std::vector<comment_edit_t> comments;
        bool ok, best_changed;
        const char* b_comment;
    } cases[] = {
        {{{0, "A.JPG", "", "lost"}, {0, "B.JPG", "", "Grüße\nzwei"}}, false, true,
         "Grüße\r\nzwei\r\n"},
        {{{0, "B.JPG", "Grüße\r\nzwei\r\n", "Grüße\r\nzwei\r\n"}}, true, false,
         "Grüße\r\nzwei\r\n"},
    };
    for (const auto& c : cases) {
        bool best_changed = false;
        std::ostringstream err;
        EXPECT_EQ(save_all_comment(album.str(), c.comments, good, best_changed, err), c.ok);
        EXPECT_EQ(best_changed, c.best_changed);
        EXPECT_EQ(testenv::read_file(album.str("txt", "B.txt")), c.b_comment);
        if (!c.ok) {
            EXPECT_EQ(err.str(), album.str("txt", "A.txt") +
                                     ": file write error, Is a directory\nA.JPG: save comment "
                                     "fail.\n");
        }
    }
    bool subtle_changed = false;
    std::ostringstream err;
    std::vector<comment_edit_t> subtle = {{0, "C.JPG", "", "not good"}};
    EXPECT_TRUE(save_all_comment(album.str(), subtle, good, subtle_changed, err));
    EXPECT_FALSE(subtle_changed);
}

TEST_F(CurateTest, TheSecretFlagIsMadeAndRemoved) {
    std::ostringstream err;
    for (bool secret : {true, true, false, false}) {
        EXPECT_TRUE(set_secret(album, secret, err));
        EXPECT_EQ(is_secret(album.str()), secret);
    }
    EXPECT_EQ(err.str(), "");
}

TEST_F(CurateTest, CollectionsNeverReadTxtOrUnderscoreFoldersAndRebuildOnlyChangedAlbums) {
    // A second album and folders that must never count as albums.
    path_t second(root, "", "later");
    ::mkdir(second.str().c_str(), 0755);
    ASSERT_TRUE(albumtest::make_album(camera, {{"A.JPG", 0}}, second).ok);
    for (const char* d : {"/txt/original", "/_Private/original", "/_Best"})
        testenv::run("mkdir -p " + testenv::shell_quote(root + d));
    testenv::write_file(root + "/_Private/txt/good.txt", "A.JPG\r\n");

    for (bool book_wide : {false, true}) {
        std::vector<album_t> albums;
        ASSERT_TRUE(collection_albums(albums, path_t("", root, "_Best"), book_wide));
        std::vector<std::string> names;
        for (const album_t& a : albums) names.push_back(a.path.name);
        EXPECT_EQ(names, (std::vector<std::string>{"trip", "later"})) << book_wide;
    }

    std::vector<album_t> albums;
    collection_albums(albums, path_t("", root, "_Best"), false);
    albums[1].good.insert("A.JPG");  // good is the album dialog's: not saved here
    albums[0].best.insert("B.JPG");
    auto trip_page = albumtest::mtime_ns(album.str("index.html"));
    auto later_page = albumtest::mtime_ns(second.str("index.html"));
    progress_signals_t s;
    std::ostringstream err;
    ASSERT_TRUE(save_collection(albums, {{1, "A.JPG", "", "Kommentar"}},
                                path_t("", root, "_Best"), false, s, err))
        << err.str();
    EXPECT_NE(albumtest::mtime_ns(album.str("index.html")), trip_page);
    EXPECT_NE(albumtest::mtime_ns(second.str("index.html")), later_page);  // its comment
    EXPECT_EQ(testenv::read_file(album.str("txt", "best.txt")), "B.JPG\r\n");
    EXPECT_EQ(testenv::read_file(second.str("txt", "A.txt")), "Kommentar\r\n");
    EXPECT_TRUE(testenv::exists(root + "/_Best/index.html"));

    // Nothing changed: no album page is made again.
    later_page = albumtest::mtime_ns(second.str("index.html"));
    trip_page = albumtest::mtime_ns(album.str("index.html"));
    collection_albums(albums, path_t("", root, "_BestBook"), true);
    ASSERT_TRUE(save_collection(albums, {}, path_t("", root, "_BestBook"), true, s, err));
    EXPECT_EQ(albumtest::mtime_ns(album.str("index.html")), trip_page);
    EXPECT_EQ(albumtest::mtime_ns(second.str("index.html")), later_page);
    EXPECT_NE(testenv::read_file(root + "/_BestBook/index.html").find("trip/"), std::string::npos);
}

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "snapfolio/engine/album.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

// An album directory with a "txt" folder; returns its path_t.
path_t make_album(const std::string& name = "20240307") {
    std::string root = testenv::scratch_dir("root");
    mkdir((root + "/" + name).c_str(), 0755);
    mkdir((root + "/" + name + "/txt").c_str(), 0755);
    return path_t(root, "", name);
}

std::string txt(const path_t& p, const std::string& file) {
    return testenv::read_file(p.str("txt", file));
}

void put(const path_t& p, const std::string& file, const std::string& bytes) {
    ASSERT_TRUE(testenv::write_file(p.str("txt", file), bytes));
}

std::string listing(const std::string& dir) {
    std::string out;
    testenv::run("ls -A " + testenv::shell_quote(dir), &out);
    return out;
}

}  // namespace

TEST(AlbumPath, PiecesJoinWithOneSlashAndEmptyPiecesVanish) {
    struct {
        path_t path;
        const char* a;
        const char* b;
        const char* made;
    } cases[] = {
        {path_t("/r", "", "alb"), "original", "x.jpg", "/r/alb/original/x.jpg"},
        {path_t("/r", "book/sub", "alb"), "txt", "", "/r/book/sub/alb/txt"},
        {path_t("/r", "", "alb"), "", "", "/r/alb"},
        {path_t("/r", "", "alb"), "", "x", "/r/alb/x"},
        {path_t("", "/home/u/album", ""), "txt", "", "/home/u/album/txt"},
        {path_t("", "/home/u/album", "2024"), "", "", "/home/u/album/2024"},
        {path_t("", "", ""), "", "", ""},
        {path_t("", "", ""), "a", "b", "a/b"},
    };
    for (const auto& c : cases) {
        std::string out = "junk";
        c.path.make(out, c.a, c.b);
        EXPECT_EQ(out, c.made);
        EXPECT_EQ(c.path.str(c.a, c.b), c.made);
    }
    std::string out;
    path_t("/r", "book", "alb").make(out);
    EXPECT_EQ(out, "/r/book/alb");
    path_t("/r", "book", "alb").make(out, "txt");
    EXPECT_EQ(out, "/r/book/alb/txt");
    path_t("/r", "book", "alb").submake(out);
    EXPECT_EQ(out, "book/alb");
    path_t("/r", "", "alb").submake(out);
    EXPECT_EQ(out, "alb");
    path_t("/r", "book", "").submake(out);
    EXPECT_EQ(out, "book");
}

TEST(AlbumFiles, PhotosAndMoviesAreKnownByExtensionInAnyCase) {
    struct {
        const char* name;
        bool photo, movie;
    } cases[] = {
        {"P1010001.JPG", true, false}, {"a.jpeg", true, false},     {"a.JpEg", true, false},
        {"clip.MOV", false, true},     {"c.avi", false, true},      {"c.mpg", false, true},
        {"c.mp4", false, true},        {"c.mpeg", false, false},    {"notes.txt", false, false},
        {"jpg", false, false},         {"a.jpg.txt", false, false}, {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_photo(c.name), c.photo) << c.name;
        EXPECT_EQ(is_movie(c.name), c.movie) << c.name;
    }
}

TEST(MarkList, LoadSkipsBlankLinesAndStripsLineEnds) {
    path_t p = make_album();
    static const char bytes[] = "b.jpg\r\n\r\n  \r\na.jpg \t\r\n\0\r\nc.mov\0\0\r\n\nd.jpg";
    put(p, "best.txt", std::string(bytes, sizeof bytes - 1));
    best_t list;
    list.dirty = true;
    ASSERT_TRUE(list.load(p, "best.txt"));
    EXPECT_EQ(list.file, p.str("txt", "best.txt"));
    EXPECT_EQ(list.names, (std::set<std::string>{"a.jpg", "b.jpg", "c.mov", "d.jpg"}));
    EXPECT_TRUE(list.nonempty);
    EXPECT_FALSE(list.dirty);

    put(p, "empty.txt", "\r\n\r\n");
    best_t empty;
    ASSERT_TRUE(empty.load(p, "empty.txt"));
    EXPECT_TRUE(empty.names.empty());
    EXPECT_FALSE(empty.nonempty);
}

TEST(MarkList, MissingFileGivesAnEmptyListAndFalse) {
    path_t p = make_album();
    best_t list;
    list.names.insert("stale");
    list.dirty = true;
    EXPECT_FALSE(list.load(p, "best.txt"));
    EXPECT_TRUE(list.names.empty());
    EXPECT_TRUE(list.dirty);  // left as it was
}

TEST(MarkList, SaveWritesSortedCrLfOnlyWhenChanged) {
    path_t p = make_album();
    best_t list;
    list.load(p, "best.txt");
    EXPECT_FALSE(list.save());  // clean: nothing written
    EXPECT_FALSE(testenv::exists(p.str("txt", "best.txt")));

    list.insert("b.jpg");
    list.insert("a.jpg");
    list.insert("a.jpg");
    EXPECT_EQ(list.names.size(), 2u);
    ASSERT_TRUE(list.save());
    EXPECT_FALSE(list.dirty);
    EXPECT_EQ(txt(p, "best.txt"), "a.jpg\r\nb.jpg\r\n");
    EXPECT_FALSE(list.save());

    // Erasing a name that was never marked still counts as a change.
    list.erase("never.jpg");
    EXPECT_TRUE(list.dirty);
    put(p, "best.txt", "tampered\r\n");
    ASSERT_TRUE(list.save());
    EXPECT_EQ(txt(p, "best.txt"), "a.jpg\r\nb.jpg\r\n");

    list.erase("a.jpg");
    list.erase("b.jpg");
    ASSERT_TRUE(list.save());
    EXPECT_EQ(txt(p, "best.txt"), "");
    EXPECT_EQ(listing(p.str("txt")), "best.txt\n");  // no temporary file left
}

TEST(MarkList, UnwritableListStaysDirtyAndIsReported) {
    path_t p = make_album();
    best_t list;
    list.load(path_t(p.root, "", "no-such-album"), "best.txt");
    list.insert("a.jpg");
    std::string err = testenv::stderr_of([&] { EXPECT_FALSE(list.save()); });
    EXPECT_EQ(err,
              p.root + "/no-such-album/txt/best.txt: write error, No such file or directory\n");
    EXPECT_TRUE(list.dirty);
}

TEST(Album, LoadMergesTheFiveMarkListsIntoGood) {
    path_t p = make_album();
    put(p, "best.txt", "a.jpg\r\n");
    put(p, "apply.txt", "b.jpg\r\n");
    put(p, "submit.txt", "");
    put(p, "print.txt", "c.jpg\r\n");
    put(p, "upload.txt", "a.jpg\r\n");
    put(p, "good.txt", "a.jpg\r\nz.jpg\r\n");
    put(p, "fail.txt", "f.jpg\r\n");
    album_t album;
    ASSERT_TRUE(album.load(p));
    EXPECT_EQ(album.good.names, (std::set<std::string>{"a.jpg", "b.jpg", "c.jpg", "z.jpg"}));
    EXPECT_TRUE(album.good.dirty);
    EXPECT_FALSE(album.best.dirty);
    EXPECT_TRUE(album.is_fail("f.jpg"));
    EXPECT_TRUE(album.isfind("c.jpg"));
    EXPECT_FALSE(album.isfind("z.jpg"));  // good alone is not a mark
    EXPECT_FALSE(album.isfind("f.jpg"));
    EXPECT_TRUE(album.is_best("a.jpg") && album.is_upload("a.jpg") && album.is_apply("b.jpg") &&
                album.is_print("c.jpg") && !album.is_submit("a.jpg"));

    // Good and fail are not saved with the album.
    EXPECT_FALSE(album.save());
    EXPECT_EQ(txt(p, "good.txt"), "a.jpg\r\nz.jpg\r\n");
}

TEST(Album, MissingMarkFilesGiveFalseButTheOthersLoad) {
    path_t p = make_album();
    put(p, "best.txt", "a.jpg\r\n");
    album_t album;
    EXPECT_FALSE(album.load(p));
    EXPECT_TRUE(album.is_best("a.jpg"));
    EXPECT_TRUE(album.is_good("a.jpg"));
    EXPECT_EQ(album.path.str(), p.str());
}

TEST(Album, SaveWritesOnlyChangedListsAndReportsWhetherAnythingChanged) {
    path_t p = make_album();
    album_t album;
    album.load(p);
    EXPECT_FALSE(album.save());
    EXPECT_EQ(listing(p.str("txt")), "");

    album.dirty();
    EXPECT_TRUE(album.save());  // comments changed: true, once
    EXPECT_FALSE(album.save());

    album.print.insert("x.jpg");
    album.good.insert("x.jpg");
    EXPECT_TRUE(album.save());
    EXPECT_EQ(listing(p.str("txt")), "print.txt\n");
    EXPECT_EQ(txt(p, "print.txt"), "x.jpg\r\n");
    EXPECT_TRUE(album.good.dirty);  // the dialogs save good themselves
}

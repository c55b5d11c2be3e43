// snapfolio-cli make, update and batch run as processes (HOME at a scratch
// folder, so no settings file of the user is read): exit statuses, the
// diagnostics, and the albums and book pages they leave on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <sstream>

#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libutils/file.h"
#include "support/linkcheck.h"
#include "support/pagetest.h"
#include "support/testenv.h"

namespace {

struct result_t {
    int status = -1;
    std::string out, err;
};

class CliAlbum : public testing::Test {
  protected:
    std::string home, work, camera;

    void SetUp() override {
        home = testenv::scratch_dir("home");
        work = testenv::scratch_dir("work");
        camera = work + "/cam";
        ::mkdir(camera.c_str(), 0755);
        // A book with its title (a book without "txt" is reported on each
        // page it gets).
        pagetest::put_text(snapfolio::path_t(work, "", "book"), "head.txt", "Book\r\nBook\r\n");
    }
    // Runs the program in `work` with the 64x64 limit; args already quoted.
    result_t cli(const std::string& args) {
        const std::string err = testenv::scratch_dir("stderr") + "/err";
        result_t r;
        r.status = testenv::run("cd " + testenv::shell_quote(work) +
                                    " && env -u LANG HOME=" + testenv::shell_quote(home) + " " +
                                    testenv::shell_quote(testenv::bin_dir() + "/snapfolio-cli") +
                                    " --shrink-size 64x64 " + args + " 2>" +
                                    testenv::shell_quote(err) + " </dev/null",
                                &r.out);
        r.err = testenv::read_file(err);
        return r;
    }
    void put(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(testenv::write_file(camera + "/" + name, bytes));
        pagetest::age(camera + "/" + name, 86400);
    }
    std::string album(const std::string& rel) const { return work + "/" + rel; }
};

// Width and height from the frame header.
std::pair<uint64_t, uint64_t> size_of(const std::string& file) {
    libgr::jpegdata_t data;
    libgr::jpeginfo_t info;
    if (!data.load(file.c_str()) || !info.analyze_markers(data)) return {0, 0};
    return {info.width, info.height};
}

bool is_symlink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Every file of the album's level folders with its modification time.
std::map<std::string, int64_t> level_times(const std::string& dir) {
    std::map<std::string, int64_t> times;
    std::vector<std::string> dirs, files;
    libutils::getdirs(dirs, dir);
    for (const std::string& d : dirs) {
        if (d.compare(0, 4, "size") != 0 && d != "thumb") continue;
        libutils::getfiles(files, dir + "/" + d);
        for (const std::string& f : files) {
            const std::string p = dir + "/" + d + "/" + f;
            times[d + "/" + f] = pagetest::mtime_ns(p);
        }
    }
    return times;
}

}  // namespace

TEST_F(CliAlbum, MakeImportsTurnsAndWritesTheBookPage) {
    put("A.JPG", pagetest::photo(256, 192, 1, pagetest::full_exif("X1")));
    put("B.JPG", pagetest::photo(128, 96, 2));
    put("C.JPG", pagetest::photo(96, 64, 3));
    put("D.JPG", pagetest::photo(96, 64, 4));  // not named: stays out
    const result_t r = cli("make cam book/trip A.JPG:90 B.JPG C.JPG:45");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "C.JPG: 45: not 90/180/270.\n");
    EXPECT_NE(r.out.find("html: 100%"), std::string::npos) << r.out;

    const std::string a = album("book/trip");
    std::vector<std::string> originals;
    ASSERT_TRUE(libutils::getfiles(originals, a + "/original"));
    EXPECT_EQ(originals, (std::vector<std::string>{"A.JPG", "B.JPG", "C.JPG"}));
    // A turned a quarter: a real file, upright; B and C unturned: links.
    EXPECT_FALSE(is_symlink(a + "/size0/A.JPG"));
    EXPECT_EQ(size_of(a + "/size0/A.JPG"), std::make_pair(uint64_t(192), uint64_t(256)));
    EXPECT_TRUE(is_symlink(a + "/size0/B.JPG"));
    EXPECT_TRUE(is_symlink(a + "/size0/C.JPG"));
    for (const char* page : {"index.html", "list.html", "html/A_1.html", "html/A_2.html",
                             "html/B_1.html", "html/C_1.html"})
        EXPECT_TRUE(testenv::exists(a + "/" + page)) << page;
    EXPECT_EQ(testenv::read_file(a + "/txt/count.txt"), "+3\n");
    // No title given: the folder's name, so that the book page lists it.
    EXPECT_EQ(testenv::read_file(a + "/txt/head.txt"), "trip\r\ntrip\r\n");
    EXPECT_NE(testenv::read_file(album("book/index.html"))
                  .find("\t<tr><td>trip<td>+3<td><a href=\"trip/list.html\">List</a> <td><a "
                        "href=\"trip/index.html\">trip</a>\n"),
              std::string::npos);
    const auto broken = linkcheck::broken_links(album("book"));
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
}

TEST_F(CliAlbum, MakeWithoutNamesImportsEveryPhotoAndMovieOfTheFolder) {
    put("P1.JPG", pagetest::photo(128, 96, 1));
    put("p2.jpeg", pagetest::photo(64, 48, 2));
    put("notes.txt", "not a picture");
    const result_t r = cli("make cam/ book/all/");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> originals;
    ASSERT_TRUE(libutils::getfiles(originals, album("book/all/original")));
    EXPECT_EQ(originals, (std::vector<std::string>{"P1.JPG", "p2.jpeg"}));
    EXPECT_FALSE(testenv::exists(album("book/all/txt/notes.txt")));
    EXPECT_EQ(testenv::read_file(album("book/all/txt/count.txt")), "+2\n");
}

// What the make-album dialog asks for, and books made as mkdir -p would,
// each titled with its name and listing what is below it.
TEST_F(CliAlbum, MakeTakesTitleTextsSecretAndMakesMissingBooks) {
    put("A.JPG", pagetest::photo(64, 48, 1));
    const result_t r = cli("make --title 'Trip \"2024\"' --begin 'above' --last 'below' --secret "
                           "cam new/2024/trip A.JPG");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string a = album("new/2024/trip");
    EXPECT_EQ(testenv::read_file(a + "/txt/head.txt"), "Trip \"2024\"\r\nTrip \"2024\"\r\nabove\r\n");
    EXPECT_EQ(testenv::read_file(a + "/txt/last.txt"), "below\r\n");
    EXPECT_TRUE(testenv::exists(a + "/txt/secret.txt"));
    EXPECT_EQ(testenv::read_file(album("new/txt/head.txt")), "new\r\nnew\r\n");
    EXPECT_EQ(testenv::read_file(album("new/2024/txt/head.txt")), "2024\r\n2024\r\n");
    EXPECT_NE(testenv::read_file(a + "/index.html").find("above"), std::string::npos);
    // A secret album stays off its book's page; the books list each other.
    EXPECT_EQ(testenv::read_file(album("new/2024/index.html")).find("trip/"), std::string::npos);
    EXPECT_NE(testenv::read_file(album("new/index.html")).find("2024/index.html"),
              std::string::npos);
    // Made again without --secret, an existing album keeps its own flag.
    ASSERT_EQ(cli("make cam new/2024/trip A.JPG").status, 0);
    EXPECT_TRUE(testenv::exists(a + "/txt/secret.txt"));
    EXPECT_EQ(testenv::read_file(a + "/txt/last.txt"), "below\r\n");
}

TEST_F(CliAlbum, RefusalsExitNonZeroWithOneLine) {
    put("A.JPG", pagetest::photo(64, 48, 1));
    ASSERT_EQ(::mkdir(album("book/plain").c_str(), 0755), 0);
    ASSERT_TRUE(testenv::write_file(album("book/head.html"), "a file, not a folder"));
    const struct {
        const char* args;
        int status;
        std::string err;
    } cases[] = {
        {"make cam", 2,
         "make: needs a camera folder and an album folder, see snapfolio-cli help make.\n"},
        {"make nocam book/x", 1, "nocam: not a folder.\n"},
        {"make cam book/x none.jpg", 1, "cam/none.jpg: no such file.\n"},
        {"make cam book/head.html/album", 1, "book/head.html/album: mkdir error, Not a directory\n"},
        {"update", 2, "update: needs one album folder, see snapfolio-cli help update.\n"},
        {"update book/plain", 1, "book/plain: not an album (no original folder).\n"},
        {"update book/none", 1, "book/none: not a folder.\n"},
        {"batch a b", 2, "batch: needs one folder, see snapfolio-cli help batch.\n"},
        {"batch /", 1, "/: needs a folder with a name below /.\n"},
    };
    for (const auto& c : cases) {
        const result_t r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
    EXPECT_FALSE(testenv::exists(album("book/x/original")));
}

TEST_F(CliAlbum, UpdateOfAnUnchangedAlbumRewritesPagesButNoLevel) {
    put("A.JPG", pagetest::photo(256, 192, 1));
    put("B.JPG", pagetest::photo(128, 96, 2));
    ASSERT_EQ(cli("make cam book/trip A.JPG:180 B.JPG").status, 0);
    const std::string a = album("book/trip");
    for (const char* page : {"index.html", "list.html", "html/A_1.html", "txt/count.txt"})
        pagetest::age(a + "/" + page);
    const auto levels = level_times(a);
    ASSERT_EQ(levels.size(), 9u);  // A: size0 .. size3, thumb; B: size0 .. size2, thumb
    const int64_t before = pagetest::mtime_ns(a + "/index.html");
    const std::string index_before = pagetest::page(a + "/index.html");

    const result_t r = cli("update book/trip");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(level_times(a), levels);
    for (const char* page : {"index.html", "list.html", "html/A_1.html", "txt/count.txt"})
        EXPECT_GT(pagetest::mtime_ns(a + "/" + page), before) << page;
    EXPECT_EQ(pagetest::page(a + "/index.html"), index_before);
    // The turned photo keeps its turn.
    EXPECT_FALSE(is_symlink(a + "/size0/A.JPG"));

    // A level that went missing is made again; the others stay.
    ASSERT_EQ(::unlink((a + "/size1/B.JPG").c_str()), 0);
    ASSERT_EQ(cli("update book/trip").status, 0);
    auto after = level_times(a);
    EXPECT_GT(after["size1/B.JPG"], 0);
    after.erase("size1/B.JPG");
    auto kept = levels;
    kept.erase("size1/B.JPG");
    EXPECT_EQ(after, kept);
}

TEST_F(CliAlbum, BatchRegeneratesTheTreeAndReportsAFailingAlbum) {
    put("A.JPG", pagetest::photo(128, 96, 1));
    put("B.JPG", pagetest::photo(128, 96, 2));
    ASSERT_EQ(::mkdir(album("book/2024").c_str(), 0755), 0);
    ASSERT_EQ(cli("make cam book/2024/t1 A.JPG").status, 0);
    ASSERT_EQ(cli("make cam book/2024/t2 B.JPG").status, 0);
    pagetest::put_text(snapfolio::path_t(album("book"), "", "2024"), "head.txt",
                       "Year\r\nYear\r\n");

    result_t r = cli("batch book");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(album("book/2024/t1") + "\n"), std::string::npos) << r.out;
    EXPECT_NE(testenv::read_file(album("book/index.html"))
                  .find("\t<tr><td>2024<td><td><td><a href=\"2024/index.html\">Year</a>\n"),
              std::string::npos);
    EXPECT_NE(testenv::read_file(album("book/2024/index.html")).find("<td>t2<td>+1<td>"),
              std::string::npos);
    auto broken = linkcheck::broken_links(album("book"));
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);

    // A photo that cannot be read fails its album; the rest is still done.
    ASSERT_TRUE(testenv::write_file(album("book/2024/t2/original/bad.jpg"), "not a JPEG"));
    pagetest::age(album("book/2024/t1/index.html"));
    pagetest::age(album("book/index.html"));
    const int64_t aged = pagetest::mtime_ns(album("book/index.html"));
    r = cli("batch book");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(album("book/2024/t2") + ": updatealbum() fail.\n"), std::string::npos)
        << r.err;
    EXPECT_GT(pagetest::mtime_ns(album("book/2024/t1/index.html")), aged);
    EXPECT_GT(pagetest::mtime_ns(album("book/index.html")), aged);
}

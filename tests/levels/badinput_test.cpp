// What a camera folder may hold that is not a good photo: each such file is
// named with the reason and left out, the rest of the album and its pages
// are made, the chain fails at the end so that callers notice, the
// originals stay as they came, and nothing is written outside the album.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "albumtest.h"
#include "libutils/file.h"
#include "libutils/path.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

const char k_png[] =
    "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90wS\xde\0\0\0\x0cIDATx"
    "\x9c"
    "c\xf8\x0f\0\0\x01\x01\0\x05\x18\xd8N\0\0\0\0IEND\xae"
    "B`\x82";

}  // namespace

// The photo with its frame header changed: sample precision, height and
// width as a camera or a hostile file may state them.
std::string with_frame(std::string jpeg, int precision, unsigned height, unsigned width) {
    const size_t sof = jpeg.find("\xFF\xC0");
    jpeg[sof + 4] = char(precision);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

TEST_F(AlbumTest, AFileThatIsNotAWholePhotoIsLeftOutAndTheAlbumIsMade) {
    std::string whole = albumtest::photo(300, 200, 1, false, 1);
    std::string cut = whole.substr(0, whole.size() * 6 / 10);
    std::string noise;
    for (int i = 0; i < 4000; ++i) noise.push_back(char((i * 7919) ^ (i >> 5)));
    struct {
        const char* what;
        std::string name, bytes;
        uint64_t rotate;
        const char* line;  // after the name (or path) the line begins with
    } const cases[] = {
        {"empty", "EMPTY.JPG", "", 0, ": shrinkone() original analyze_markers fail."},
        {"cut off", "CUT.JPG", cut, 0, ": shrinkone() decompress fail."},
        {"cut off, turned", "CUTT.JPG", cut, 1, ": shrinkone() rotatejpeg fail."},
        {"a PNG", "PICTURE.jpg", std::string(k_png, sizeof k_png - 1), 0,
         ": shrinkone() original analyze_markers fail."},
        {"random bytes", "NOISE.JPG", "\xFF\xD8" + noise, 0,
         ": shrinkone() original analyze_markers fail."},
        {"12-bit", "TWELVE.JPG", with_frame(whole, 12, 200, 300), 0,
         ": shrinkone() original analyze_markers fail."},
        {"height in a DNL segment", "DNL.JPG", with_frame(whole, 8, 0, 300), 0,
         ": shrinkone() original analyze_markers fail."},
        {"0x0", "ZERO.JPG", with_frame(whole, 8, 0, 0), 0,
         ": shrinkone() original analyze_markers fail."},
        {"claims 20000x20000", "HUGE.JPG", with_frame(whole, 8, 20000, 20000), 0,
         ": left out of the album, 20000x20000 pixels claimed, more than the limit of 200 "
         "megapixels."},
        {"camera's cut-off file", "truncated.jpg",
         testenv::camera_dir().empty()
             ? cut
             : testenv::read_file(testenv::camera_dir() + "/truncated.jpg"),
         0, ": shrinkone() decompress fail."},
    };
    limit(100, 100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string cam = testenv::scratch_dir("camera");
        std::string base = testenv::scratch_dir("albums");
        snapfolio::path_t path(base, "", "trip");
        ::mkdir(path.str().c_str(), 0755);
        testenv::write_file(cam + "/A.JPG", whole);
        testenv::write_file(cam + "/" + c.name, c.bytes);
        testenv::write_file(cam + "/Z.JPG", whole);
        auto camera_before = albumtest::snapshot(cam);
        const std::vector<files_t> files = {{"A.JPG", 0}, {c.name, c.rotate}, {"Z.JPG", 0}};
        albumtest::run_t r = albumtest::make_album(cam, files, path);
        EXPECT_FALSE(r.ok);
        // The file's line with what failed, the reason, then the chain's.
        const std::string original = path.str("original", c.name);
        EXPECT_NE(r.err.find(std::string(c.line) + "\n"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(original + ": left out of the album, "), std::string::npos) << r.err;
        EXPECT_EQ(r.err.substr(r.err.size() - path.str().size() - 20),
                  path.str() + ": 1 photo left out.\n");
        EXPECT_EQ(albumtest::differences(albumtest::snapshot(cam), camera_before), "");
        EXPECT_EQ(testenv::read_file(original), c.bytes);
        // The photos before and after it are complete, and on the pages;
        // nothing of the bad file's levels is left.
        for (const char* good : {"A.JPG", "Z.JPG"}) {
            EXPECT_TRUE(albumtest::header_of_file(path.str("thumb", good)).ok) << good;
            EXPECT_NE(testenv::read_file(path.str("list.html")).find(good), std::string::npos);
        }
        EXPECT_EQ(testenv::read_file(path.str("txt", "count.txt")), "+2\n");
        EXPECT_FALSE(testenv::exists(path.str("thumb", c.name)));
        EXPECT_FALSE(testenv::exists(path.str("size1", c.name)));
        // An update completes as well, and says the same.
        albumtest::run_t u = albumtest::update_album(files, path);
        EXPECT_FALSE(u.ok);
        EXPECT_NE(u.err.find(original + ": left out of the album, "), std::string::npos) << u.err;
        EXPECT_TRUE(testenv::exists(path.str("index.html")));
        // Only the album folder was written to.
        std::vector<std::string> top;
        libutils::getdirs(top, base);
        EXPECT_EQ(top, std::vector<std::string>{"trip"});
        std::vector<std::string> files_left;
        libutils::getfiles(files_left, base);
        EXPECT_TRUE(files_left.empty());
    }
}

TEST_F(AlbumTest, NamesWithBlanksQuotesAndNonAsciiLettersAreJustNames) {
    const std::string name = "Été \"best\" it's $(x) `y`.JPG";
    std::string bytes = albumtest::photo(120, 90, 6, true);
    put(name, bytes);
    limit(50, 50);
    albumtest::run_t r = albumtest::make_album(camera, {{name, 0}}, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    EXPECT_EQ(testenv::read_file(level("original", name)), bytes);
    for (const char* dir : {"size0", "size1", "size2", "thumb"})
        EXPECT_TRUE(albumtest::header_of_file(level(dir, name)).ok) << dir;
    r = albumtest::update_album({{name, 0}}, album);
    EXPECT_TRUE(r.ok) << r.err;
}

TEST_F(AlbumTest, AnAlbumFolderThatCannotBeWrittenStopsTheChainNamingIt) {
    put("A.JPG", albumtest::jpeg(64, 48));
    struct {
        const char* what;
        const char* blocker;  // a file where the chain needs a folder
        const char* first_line;
        const char* chain_line;
    } const cases[] = {
        {"original", "original", "/trip/original: mkdir error, ", "copyfiles() fail."},
        {"thumb", "thumb", "/trip/thumb: mkdir error, ", "shrink() fail."},
        {"size1", "size1", "/trip/size1: mkdir error, ", "shrink() fail."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string base = testenv::scratch_dir("albums");
        snapfolio::path_t path(base, "", "trip");
        ::mkdir(path.str().c_str(), 0755);
        testenv::write_file(path.str(c.blocker), "in the way");
        albumtest::run_t r = albumtest::make_album(camera, {{"A.JPG", 0}}, path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.err.compare(0, base.size() + std::strlen(c.first_line), base + c.first_line), 0)
            << r.err;
        EXPECT_NE(r.err.find(std::string(c.chain_line) + "\n"), std::string::npos) << r.err;
        EXPECT_EQ(testenv::read_file(path.str(c.blocker)), "in the way");
    }
}

// Run by a user without write access: as root, in a child that becomes
// "nobody" first (root writes into read-only folders).
TEST_F(AlbumTest, AReadOnlyAlbumFolderStopsTheChain) {
    put("A.JPG", albumtest::jpeg(64, 48));
    // The scratch folders are private to the test's user: let the other
    // user reach the camera folder and the album, not write the album.
    std::string scratch = libutils::dirname(root);
    ::chmod(scratch.c_str(), 0755);
    ::chmod(album.str().c_str(), 0555);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(out[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(2);
        std::freopen("/dev/null", "w", stderr);
        snapfolio::progress_signals_t s;
        std::ostringstream err;
        bool ok = snapfolio::makealbumwithrotate(camera, {{"A.JPG", 0}}, album, s.copy, s.shrink,
                                                 s.html, s.zoom, err);
        std::string text = err.str();
        if (::write(out[1], text.data(), text.size()) < 0) _exit(3);
        _exit(ok ? 0 : 1);
    }
    ::close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(album.str().c_str(), 0755);
    ::chmod(scratch.c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot become another user here";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(text,
              album.str("original") + ": mkdir error, Permission denied\ncopyfiles() fail.\n");
    EXPECT_TRUE(albumtest::snapshot(album.str()).empty());
}

// Scanners and print editors write CMYK (with an Adobe segment) and YCCK:
// such a photo gets its levels like any other, in RGB.
TEST_F(AlbumTest, CmykPhotosAreDecodedToRgb) {
    limit(100, 100);
    std::string cam = testenv::scratch_dir("camera");
    snapfolio::path_t path(testenv::scratch_dir("albums"), "", "scan");
    ::mkdir(path.str().c_str(), 0755);
    testenv::write_file(cam + "/SCAN.JPG", albumtest::jpeg(160, 120, 3, "", 4));
    albumtest::run_t r = albumtest::make_album(cam, {{"SCAN.JPG", 0}}, path);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    const albumtest::jpeg_header_t h = albumtest::header_of_file(path.str("size1", "SCAN.JPG"));
    EXPECT_TRUE(h.ok);
    EXPECT_EQ(h.width, 80);
    EXPECT_TRUE(testenv::exists(path.str("thumb", "SCAN.JPG")));
}

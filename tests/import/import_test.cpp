// Import from the camera folder: byte-identical copies with their times, the
// camera files only ever read, and the full-size link with its fallbacks.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "levels/albumtest.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/import.h"
#include "support/saved_global.h"
#include "support/testenv.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

struct stat_t {
    int64_t mtime = 0, ctime = 0;
    ino_t ino = 0;
};
stat_t stat_of(const std::string& p) {
    struct stat st;
    stat_t s;
    if (::lstat(p.c_str(), &st) == 0) {
        s.mtime = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        s.ctime = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
        s.ino = st.st_ino;
    }
    return s;
}

bool copy_files(const std::string& camera, const std::vector<files_t>& files,
                const snapfolio::path_t& path, std::string* err = nullptr,
                std::vector<double>* steps = nullptr) {
    sigc::signal<void, double> progress;
    if (steps) progress.connect([steps](double v) { steps->push_back(v); });
    std::ostringstream out;
    bool ok = false;
    testenv::stderr_of([&] { ok = snapfolio::copyfiles(camera, files, path, progress, out); });
    if (err) *err = out.str();
    return ok;
}

// Failing stand-ins for the link calls.
int no_symlink(const char*, const char*) {
    errno = EPERM;
    return -1;
}
int no_link(const char*, const char*) {
    errno = EPERM;
    return -1;
}

// Puts the real link calls back however a test ends.
struct link_calls_guard_t {
    snapfolio::link_calls_t saved = snapfolio::link_calls();
    ~link_calls_guard_t() { snapfolio::link_calls() = saved; }
};

}  // namespace

TEST_F(AlbumTest, CopiedFilesAreByteIdenticalKeepTheirTimesAndGoWhereTheirKindBelongs) {
    std::string photo = put("IMG_0001.JPG", albumtest::jpeg(40, 30));
    std::string movie = put("MVI_0002.MOV", std::string("not really a movie\0\x01", 21));
    std::string other = put("INFO.TXT", "camera notes\r\n");
    std::string jpeg = put("b.jpeg", albumtest::jpeg(16, 16, 7));
    std::vector<double> steps;
    std::string err;
    ASSERT_TRUE(copy_files(
        camera, {{"IMG_0001.JPG", 1}, {"MVI_0002.MOV", 0}, {"INFO.TXT", 0}, {"b.jpeg", 0}}, album,
        &err, &steps))
        << err;
    struct {
        std::string source, target;
    } const cases[] = {{photo, level("original", "IMG_0001.JPG")},
                       {movie, level("original", "MVI_0002.MOV")},
                       {other, level("txt", "INFO.TXT")},
                       {jpeg, level("original", "b.jpeg")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(testenv::read_file(c.target), testenv::read_file(c.source));
        EXPECT_EQ(stat_of(c.target).mtime, stat_of(c.source).mtime);
        EXPECT_NE(stat_of(c.target).ino, stat_of(c.source).ino);  // a copy, not a link
        struct stat st;
        ASSERT_EQ(::stat(c.target.c_str(), &st), 0);
        EXPECT_TRUE(st.st_mode & S_IRUSR);
        EXPECT_TRUE(st.st_mode & S_IRGRP) << "copies are as readable as new files";
    }
    EXPECT_FALSE(testenv::exists(level("txt", "IMG_0001.JPG")));
    EXPECT_FALSE(testenv::exists(level("original", "INFO.TXT")));
    EXPECT_EQ(steps, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
}

TEST_F(AlbumTest, ReimportReplacesTheCopyAndNeverWritesThroughALink) {
    put("A.JPG", albumtest::jpeg(16, 16, 1));
    ASSERT_TRUE(copy_files(camera, {{"A.JPG", 0}}, album));
    std::string elsewhere = root + "/elsewhere.jpg";
    testenv::write_file(elsewhere, "keep me");
    std::string target = level("original", "A.JPG");
    ::unlink(target.c_str());
    ASSERT_EQ(::symlink(elsewhere.c_str(), target.c_str()), 0);

    std::string fresh = albumtest::jpeg(24, 16, 2);
    put("A.JPG", fresh);
    ASSERT_TRUE(copy_files(camera, {{"A.JPG", 0}}, album));
    EXPECT_EQ(testenv::read_file(target), fresh);
    EXPECT_FALSE(albumtest::is_symlink(target));
    EXPECT_EQ(testenv::read_file(elsewhere), "keep me");
}

TEST_F(AlbumTest, ImportingAnAlbumsOwnOriginalsKeepsThem) {
    // Removing the target before copying would destroy the source here.
    std::string bytes = albumtest::jpeg(16, 16, 3);
    put("A.JPG", bytes);
    ASSERT_TRUE(copy_files(camera, {{"A.JPG", 0}}, album));
    std::string err;
    ASSERT_TRUE(copy_files(album.str("original"), {{"A.JPG", 0}}, album, &err)) << err;
    EXPECT_EQ(testenv::read_file(level("original", "A.JPG")), bytes);
}

// With several workers a file after the failing one may be copied already;
// it is then whole. Nothing else differs.
TEST_F(AlbumTest, AMissingCameraFileStopsTheImportNamingItsTarget) {
    const std::string c_bytes = albumtest::jpeg(16, 16, 2);
    put("A.JPG", albumtest::jpeg(16, 16));
    put("C.JPG", c_bytes);
    testenv::saved_global_t saved;
    for (unsigned jobs : {1u, 4u}) {
        SCOPED_TRACE(std::to_string(jobs) + " workers");
        snapfolio::g_global.jobs = jobs;
        std::system(("rm -rf '" + album.str("original") + "'").c_str());
        std::vector<double> steps;
        std::string err;
        EXPECT_FALSE(
            copy_files(camera, {{"A.JPG", 0}, {"B.JPG", 0}, {"C.JPG", 0}}, album, &err, &steps));
        EXPECT_EQ(err, level("original", "B.JPG") + ": file copy fail.\n");
        EXPECT_TRUE(testenv::exists(level("original", "A.JPG")));  // already copied: stays
        EXPECT_FALSE(testenv::exists(level("original", "B.JPG")));
        EXPECT_EQ(steps.size(), 1u);
        // No temporary is left behind.
        std::vector<std::string> names;
        libutils::getfiles(names, album.str("original"));
        if (jobs == 1 || names.size() == 1) {
            EXPECT_EQ(names, std::vector<std::string>{"A.JPG"});
        } else {
            EXPECT_EQ(names, (std::vector<std::string>{"A.JPG", "C.JPG"}));
            EXPECT_EQ(testenv::read_file(level("original", "C.JPG")), c_bytes);
        }
    }
}

TEST_F(AlbumTest, NamesThatAreNotOneEntryAreRefused) {
    put("A.JPG", albumtest::jpeg(16, 16));
    for (const char* name : {"../A.JPG", "sub/A.JPG", "", ".."}) {
        SCOPED_TRACE(name);
        std::string err;
        EXPECT_FALSE(copy_files(camera + "/x", {{name, 0}}, album, &err));
        EXPECT_NE(err.find(": file copy fail.\n"), std::string::npos);
    }
    EXPECT_FALSE(testenv::exists(root + "/A.JPG"));
    EXPECT_FALSE(testenv::exists(album.str("A.JPG")));
}

TEST_F(AlbumTest, AlbumWithoutNameFailsBeforeAnythingIsCopied) {
    put("A.JPG", albumtest::jpeg(16, 16));
    snapfolio::path_t nameless(root, "book", "");
    albumtest::run_t r = albumtest::make_album(camera, {{"A.JPG", 0}}, nameless);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, root + "/book: album directory is empty.\n");
    EXPECT_TRUE(albumtest::snapshot(root).empty());
}

// The full size of an unturned photo, file system by file system: a symbolic
// link where there are such, else a hard link, else a copy; every way that
// failed leaves one line.
TEST_F(AlbumTest, FullSizeFallsBackFromSymbolicToHardLinkToCopy) {
    struct {
        const char* what;
        bool symlink_works, link_works;
        const char* lines;
    } const cases[] = {
        {"symbolic link", true, true, ""},
        {"hard link", false, true, "../original/P.JPG to {t}: symlink failed.\n"},
        {"copy", false, false,
         "../original/P.JPG to {t}: symlink failed.\n{s} to {t}: hard link fail.\n"},
    };
    link_calls_guard_t guard;
    std::string bytes = albumtest::jpeg(32, 32);
    put("P.JPG", bytes);
    ASSERT_TRUE(copy_files(camera, {{"P.JPG", 0}}, album));
    std::string source = level("original", "P.JPG");
    ::mkdir(album.str("size0").c_str(), 0755);
    std::string target = level("size0", "P.JPG");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        snapfolio::link_calls().symlink = c.symlink_works ? guard.saved.symlink : no_symlink;
        snapfolio::link_calls().link = c.link_works ? guard.saved.link : no_link;
        // The target is there from the case before: it is replaced.
        bool ok = false;
        std::string lines = testenv::stderr_of(
            [&] { ok = snapfolio::copyjpeg(source, target, "../original/P.JPG"); });
        ASSERT_TRUE(ok);
        std::string want = c.lines;
        for (size_t p; (p = want.find("{t}")) != std::string::npos;) want.replace(p, 3, target);
        for (size_t p; (p = want.find("{s}")) != std::string::npos;) want.replace(p, 3, source);
        EXPECT_EQ(lines, want);
        EXPECT_EQ(albumtest::is_symlink(target), c.symlink_works);
        if (c.symlink_works) {
            EXPECT_EQ(albumtest::link_of(target), "../original/P.JPG");
        }
        EXPECT_EQ(stat_of(target).ino == stat_of(source).ino, !c.symlink_works && c.link_works);
        EXPECT_EQ(testenv::read_file(target), bytes);
        EXPECT_EQ(albumtest::mtime_ns(target), albumtest::mtime_ns(source));
    }
}

TEST_F(AlbumTest, ADanglingLinkAtTheTargetIsReplaced) {
    put("P.JPG", albumtest::jpeg(16, 16));
    ASSERT_TRUE(copy_files(camera, {{"P.JPG", 0}}, album));
    ::mkdir(album.str("size0").c_str(), 0755);
    std::string target = level("size0", "P.JPG");
    ASSERT_EQ(::symlink("../nowhere/P.JPG", target.c_str()), 0);
    EXPECT_EQ(testenv::stderr_of(
                  [&] { EXPECT_TRUE(snapfolio::symlinkone("../original/P.JPG", target)); }),
              "");
    EXPECT_EQ(albumtest::link_of(target), "../original/P.JPG");
}

// A whole make chain over real camera files leaves the camera folder exactly
// as it was: same bytes, same modification and change times (a write, a
// chmod or a rename would move the change time).
TEST_F(AlbumTest, TheMakeChainNeverWritesTheCameraFolder) {
    std::vector<std::string> picks;
    for (const std::string& f : testenv::camera_jpegs()) {
        std::string n = libutils::basename2(f);
        if (n == "Samsung_GT-I9000_Galaxy_S.jpg" || n == "olympus_D-450Z_P3110001.JPG" ||
            n == "Landscape_8.jpg")
            picks.push_back(f);
    }
    std::vector<files_t> files;
    if (picks.empty()) {  // without the shared camera files: generated ones
        put("GEN_1.JPG", albumtest::photo(600, 400, 6, true));
        put("GEN_2.JPG", albumtest::photo(300, 200, 1, false, 2));
        files = {{"GEN_1.JPG", 0}, {"GEN_2.JPG", 3}};
    } else {
        for (const std::string& f : picks) {
            std::string n = libutils::basename2(f);
            testenv::run("cp -p " + testenv::shell_quote(f) + " " + testenv::shell_quote(camera));
            files.push_back({n, files.size() % 2});
        }
    }
    put("NOTES.TXT", "x");
    files.push_back({"NOTES.TXT", 0});
    ::chmod(camera.c_str(), 0555);
    std::vector<std::pair<std::string, std::string>> before = albumtest::snapshot(camera);
    std::vector<stat_t> times;
    for (const auto& f : before) times.push_back(stat_of(camera + "/" + f.first));

    albumtest::run_t r = albumtest::make_album(camera, files, album);
    ::chmod(camera.c_str(), 0755);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    EXPECT_EQ(albumtest::differences(albumtest::snapshot(camera), before), "");
    for (size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(before[i].first);
        EXPECT_EQ(stat_of(camera + "/" + before[i].first).mtime, times[i].mtime);
        EXPECT_EQ(stat_of(camera + "/" + before[i].first).ctime, times[i].ctime);
    }
    for (const files_t& f : files) {
        std::string copy =
            snapfolio::is_photo(f.name) ? level("original", f.name) : level("txt", f.name);
        EXPECT_EQ(testenv::read_file(copy), testenv::read_file(camera + "/" + f.name)) << f.name;
    }
}

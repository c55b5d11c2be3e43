// Bringing an album up to date: nothing rewritten when nothing changed,
// exactly the missing levels made again, a run killed halfway repaired.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

#include "albumtest.h"
#include "snapfolio/engine/levels.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

// Every file of the levels (size…, thumb) with its lstat time.
std::map<std::string, int64_t> level_times(const std::string& dir) {
    std::map<std::string, int64_t> times;
    for (const auto& f : albumtest::snapshot(dir))
        if (f.first.compare(0, 6, "./size") == 0 || f.first.compare(0, 7, "./thumb") == 0)
            times[f.first] = albumtest::mtime_ns(dir + "/" + f.first, true);
    return times;
}

class UpdateTest : public AlbumTest {
  protected:
    // Four kinds of photo: unturned with an EXIF thumbnail, turned by the
    // user, turned by its orientation only, unturned without a thumbnail.
    std::vector<files_t> files = {{"A.JPG", 0}, {"B.JPG", 1}, {"C.JPG", 0}, {"D.JPG", 0}};

    void SetUp() override {
        AlbumTest::SetUp();
        limit(50, 50);  // 200x150: L = 2, size0 .. size3 and the thumbnail
        put("A.JPG", albumtest::photo(200, 150, 1, true, 1));
        put("B.JPG", albumtest::photo(200, 150, 1, false, 2));
        put("C.JPG", albumtest::photo(200, 150, 6, true, 3));
        put("D.JPG", albumtest::jpeg(200, 150, 4));
        albumtest::run_t r = albumtest::make_album(camera, files, album);
        ASSERT_TRUE(r.ok) << r.err << r.log;
        // Whatever is written from now on is newer than what is there.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    std::vector<files_t> unturned() const {
        std::vector<files_t> f = files;
        for (files_t& e : f) e.rotate = 0;
        return f;
    }
};

}  // namespace

TEST_F(UpdateTest, UpdatingAnUnchangedAlbumRewritesNothing) {
    auto before = level_times(album.str());
    auto bytes = albumtest::snapshot(album.str());
    ASSERT_EQ(before.size(), 4u * 5u);
    albumtest::run_t r = albumtest::update_album(unturned(), album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    EXPECT_EQ(level_times(album.str()), before);
    EXPECT_EQ(albumtest::differences(albumtest::snapshot(album.str()), bytes), "");
}

TEST_F(UpdateTest, MakingTheSameAlbumAgainRewritesNoLevel) {
    auto before = level_times(album.str());
    auto bytes = albumtest::snapshot(album.str());
    albumtest::run_t r = albumtest::make_album(camera, files, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    EXPECT_EQ(level_times(album.str()), before);
    EXPECT_EQ(albumtest::differences(albumtest::snapshot(album.str()), bytes), "");
}

// A missing level is made again; every other file stays as it was.
TEST_F(UpdateTest, ADeletedLevelIsMadeAgainAndNothingElseChanges) {
    const char* levels[] = {"size0", "size1", "size3", "thumb"};
    for (const files_t& f : files) {
        for (const char* lv : levels) {
            // The turns asked for when an album was made are kept nowhere:
            // the full size of a photo the user turned cannot be made again
            // without asking for the turn again.
            if (f.rotate != 0 && std::string(lv) == "size0") continue;
            SCOPED_TRACE(f.name + " " + lv);
            auto times = level_times(album.str());
            auto bytes = albumtest::snapshot(album.str());
            ASSERT_EQ(::unlink(level(lv, f.name).c_str()), 0);
            albumtest::run_t r = albumtest::update_album(unturned(), album);
            ASSERT_TRUE(r.ok) << r.err << r.log;
            EXPECT_EQ(albumtest::differences(albumtest::snapshot(album.str()), bytes), "");
            auto now = level_times(album.str());
            std::string deleted = std::string("./") + lv + "/" + f.name;
            for (const auto& t : times) {
                if (t.first == deleted) {
                    EXPECT_GT(now[t.first], t.second) << t.first;
                } else {
                    EXPECT_EQ(now[t.first], t.second) << t.first;
                }
            }
        }
    }
}

// Deleting levels from the middle on: each missing one comes back, as the
// photo's own ladder (and for a photo the user turned, with its turn).
TEST_F(UpdateTest, DeletedLevelsOfATurnedPhotoComeBackTurned) {
    auto bytes = albumtest::snapshot(album.str());
    for (const char* lv : {"size2", "size3", "thumb"})
        ASSERT_EQ(::unlink(level(lv, "B.JPG").c_str()), 0);
    albumtest::run_t r = albumtest::update_album(unturned(), album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    EXPECT_EQ(albumtest::differences(albumtest::snapshot(album.str()), bytes), "");
}

// The camera's thumbnail of a photo the user turned cannot be turned again
// on update (the turn is not known any more): the thumbnail is then made
// from the turned full size, upright all the same.
TEST_F(UpdateTest, AMissingThumbnailOfAPhotoTurnedByTheUserIsMadeFromItsPicture) {
    put("E.JPG", albumtest::photo(200, 150, 1, true, 5));
    ASSERT_TRUE(albumtest::make_album(camera, {{"E.JPG", 1}}, album).ok);
    albumtest::jpeg_header_t before = albumtest::header_of_file(level("thumb", "E.JPG"));
    ASSERT_EQ(before.width, 16);  // the camera's 32x16, turned
    ASSERT_EQ(::unlink(level("thumb", "E.JPG").c_str()), 0);
    albumtest::run_t r = albumtest::update_album({{"E.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    albumtest::jpeg_header_t h = albumtest::header_of_file(level("thumb", "E.JPG"));
    EXPECT_EQ(h.width, 150 / 16);  // 9 x 12: the full size halved four times
    EXPECT_EQ(h.height, 200 / 16);
}

TEST_F(UpdateTest, ATurnAskedForOnUpdateRemakesThePhotoFromItsOriginal) {
    SKIP_WITHOUT_PROGRAM("jpegtran");
    std::string original = testenv::read_file(level("original", "D.JPG"));
    std::vector<files_t> f = unturned();
    f[3].rotate = 1;
    albumtest::run_t r = albumtest::update_album(f, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    // The full size is the lossless turn, not a re-encoded copy of it.
    EXPECT_TRUE(testenv::read_file(level("size0", "D.JPG")) ==
                albumtest::jpegtran(1, level("original", "D.JPG")));
    EXPECT_EQ(testenv::read_file(level("original", "D.JPG")), original);
    int w = 150, h = 200;
    for (const std::string& n : snapfolio::levelnames(2)) {
        SCOPED_TRACE(n);
        albumtest::jpeg_header_t hd = albumtest::header_of_file(level(n, "D.JPG"));
        EXPECT_EQ(hd.width, w);
        EXPECT_EQ(hd.height, h);
        EXPECT_EQ(hd.app_count(0xE0), 1);  // libjpeg's header, no copy of the turned file's
        EXPECT_EQ(hd.metadata_count(), 1);
        w /= 2;
        h /= 2;
    }
    // The same as making the album with that turn in the first place.
    std::string other = testenv::scratch_dir("albums");
    snapfolio::path_t fresh(other, "", "trip");
    ::mkdir(fresh.str().c_str(), 0755);
    ASSERT_TRUE(albumtest::make_album(camera, f, fresh).ok);
    for (const std::string& n : snapfolio::levelnames(2)) {
        EXPECT_TRUE(testenv::read_file(level(n, "D.JPG")) ==
                    testenv::read_file(fresh.str(n, "D.JPG")))
            << n;
    }
}

// Making an album again over itself with another turn must not leave levels
// of the old turn beside a full size of the new one.
TEST_F(UpdateTest, MakingAgainWithAnotherTurnRemakesEveryLevel) {
    std::vector<files_t> f = files;
    f[0].rotate = 1;  // A: unturned before
    f[1].rotate = 0;  // B: turned before
    albumtest::run_t r = albumtest::make_album(camera, f, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    for (const std::string& n : snapfolio::levelnames(2)) {
        SCOPED_TRACE(n);
        albumtest::jpeg_header_t a = albumtest::header_of_file(level(n, "A.JPG"));
        albumtest::jpeg_header_t b = albumtest::header_of_file(level(n, "B.JPG"));
        if (n != "thumb") {
            EXPECT_LT(a.width, a.height);  // turned now
            EXPECT_GT(b.width, b.height);  // not any more
        }
        EXPECT_EQ(a.app_count(0xE1), 0);
        if (n != "thumb" && n != "size0") {
            EXPECT_EQ(b.app_count(0xE1), 1);
        }
    }
    EXPECT_EQ(albumtest::link_of(level("size0", "B.JPG")), "../original/B.JPG");
}

TEST_F(UpdateTest, TemporariesLeftByAKilledRunAreRemoved) {
    const char* stale[] = {"thumb/.A.JPG.tmpAb12Cd", "size1/.B.JPG.tmpZZZZZZ",
                           "original/.C.JPG.tmp000000"};
    for (const char* s : stale) testenv::write_file(album.str() + "/" + s, "half");
    testenv::write_file(album.str() + "/thumb/notes.tmp", "mine");
    albumtest::run_t r = albumtest::update_album(unturned(), album);
    ASSERT_TRUE(r.ok) << r.err;
    for (const char* s : stale) EXPECT_FALSE(testenv::exists(album.str() + "/" + s)) << s;
    EXPECT_TRUE(testenv::exists(album.str() + "/thumb/notes.tmp"));
}

// A make chain killed while it writes the levels, then an update: the album
// is complete and the same, byte for byte, as one made in one go.
TEST_F(AlbumTest, AnInterruptedMakeIsRepairedByUpdate) {
    limit(100, 100);
    std::vector<files_t> files;
    for (int i = 0; i < 8; ++i) {
        std::string name = "P" + std::to_string(i) + ".JPG";
        int orientation = i % 3 == 2 ? 6 : 1;
        put(name, albumtest::photo(1600, 1200, orientation, i % 2 == 0, unsigned(i + 1)));
        files.push_back({name, uint64_t(i % 4 == 1 ? 3 : 0)});
    }
    std::string reference_root = testenv::scratch_dir("reference");
    snapfolio::path_t reference(reference_root, "", "trip");
    ::mkdir(reference.str().c_str(), 0755);
    albumtest::run_t made = albumtest::make_album(camera, files, reference);
    ASSERT_TRUE(made.ok) << made.err;

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen("/dev/null", "w", stderr);
        snapfolio::progress_signals_t s;
        std::ostringstream err;
        bool ok = snapfolio::makealbumwithrotate(camera, files, album, s.copy, s.shrink, s.html,
                                                 s.zoom, err);
        _exit(ok ? 0 : 1);
    }
    // Kill it as soon as the third photo's ladder is under way.
    std::string started = level("size1", "P2.JPG");
    for (int i = 0; i < 20000 && !testenv::exists(started); ++i) usleep(500);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the chain ended before it could be interrupted";

    auto partial = albumtest::snapshot(album.str());
    size_t levels = 0;
    for (const auto& f : partial) {
        if (f.first.compare(0, 6, "./size") != 0 && f.first.compare(0, 7, "./thumb") != 0) continue;
        if (f.first.find("/.") != std::string::npos) continue;  // a temporary
        ++levels;
        if (f.second.compare(0, 3, "-> ") == 0) continue;
        // Every level file that exists is whole: it ends with its EOI.
        EXPECT_EQ(f.second.substr(f.second.size() - 2), "\xFF\xD9") << f.first;
    }
    EXPECT_LT(levels, 8u * 6u) << "nothing was missing";

    // The caller tries again with the same choice.
    albumtest::run_t r = albumtest::update_album(files, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    EXPECT_EQ(albumtest::differences(albumtest::snapshot(album.str()),
                                     albumtest::snapshot(reference.str())),
              "");
}

// A turn that cannot be written in full leaves the photo's whole ladder as
// it was, never some levels turned and others not. A directory where a level
// file belongs stops the writing even for root, which read-only folders do
// not.
TEST_F(UpdateTest, ATurnThatCannotBeWrittenInFullLeavesEveryLevelAsItWas) {
    std::string blocked = level("size2", "D.JPG");
    ASSERT_EQ(::unlink(blocked.c_str()), 0);
    ASSERT_EQ(::mkdir(blocked.c_str(), 0755), 0);
    testenv::write_file(blocked + "/keep", "x");
    auto before = albumtest::snapshot(album.str());
    std::vector<files_t> f = unturned();
    f[3].rotate = 1;
    albumtest::run_t r = albumtest::update_album(f, album);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.err.find(blocked + ": write error, Is a directory\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("shrinkupdate() fail.\n"), std::string::npos) << r.err;
    // Pages are rewritten only after the levels: nothing changed at all.
    EXPECT_EQ(albumtest::differences(before, albumtest::snapshot(album.str())), "");
}

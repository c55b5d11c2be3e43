// The album made with 1, 2 and 4 workers: every file of its tree the same to
// the byte (pages with their time masked), the same lines on the chain's
// stream and on standard error, in the same order; for real camera files
// with turns, for the sample generator's photos, for photos with movie
// clips, and when a photo in the middle is damaged or cannot be written.
#include <sys/stat.h>

#include <algorithm>

#include "albumtest.h"
#include "libutils/file.h"
#include "support/movieclips.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

struct outcome_t {
    albumtest::run_t run;
    albumtest::snapshot_t files;
};

class ParallelTest : public AlbumTest {
  protected:
    // Makes the album from scratch with the given workers, then, when asked,
    // brings it up to date after its smaller levels were deleted.
    outcome_t make_with(unsigned jobs, const std::vector<files_t>& files, bool update,
                        const std::string& from) {
        snapfolio::g_global.jobs = jobs;
        testenv::run("rm -rf " + testenv::shell_quote(album.str()) + " && mkdir " +
                     testenv::shell_quote(album.str()));
        outcome_t o;
        {
            // The movie chain echoes its ffmpeg commands on std::cout.
            std::ostringstream echo;
            std::streambuf* old = std::cout.rdbuf(echo.rdbuf());
            o.run = albumtest::make_album(from, files, album);
            if (update) {
                testenv::run("cd " + testenv::shell_quote(album.str()) + " && rm -rf size1 thumb");
                const albumtest::run_t u = albumtest::update_album(files, album);
                o.run.ok = o.run.ok && u.ok;
                o.run.err += "--- update\n" + u.err;
                o.run.log += "--- update\n" + u.log;
            }
            std::cout.rdbuf(old);
        }
        o.files = albumtest::snapshot(album.str());
        return o;
    }

    // ffmpeg's own report on standard error (with its speed and addresses)
    // differs from run to run: with movies only the chain's stream is
    // compared.
    void expect_same_for_workers(const std::vector<files_t>& files, bool update,
                                 bool with_movies = false) {
        const outcome_t one = make_with(1, files, update, camera);
        EXPECT_GT(one.files.size(), files.size());
        for (unsigned jobs : {2u, 4u}) {
            SCOPED_TRACE(std::to_string(jobs) + " workers");
            const outcome_t many = make_with(jobs, files, update, camera);
            EXPECT_EQ(one.run.ok, many.run.ok);
            EXPECT_EQ(one.run.err, many.run.err);
            if (!with_movies) {
                EXPECT_EQ(one.run.log, many.run.log);
            }
            EXPECT_EQ("", albumtest::differences(one.files, many.files));
        }
    }

    // Every photo of the camera folder, turned 0, 1, 2, 3, 0, ... times.
    std::vector<files_t> all_turned() const {
        std::vector<std::string> names;
        libutils::getfiles(names, camera);
        std::sort(names.begin(), names.end());
        std::vector<files_t> files;
        for (const std::string& n : names) files.push_back({n, uint64_t(files.size() % 4)});
        return files;
    }
};

TEST_F(ParallelTest, CameraFilesWithTurnsGiveTheSameAlbum) {
    SKIP_WITHOUT_CAMERA_FILES();
    // The eight smallest keep the three runs short; among them are photos
    // with orientation tags and camera thumbnails.
    std::vector<std::string> jpegs = testenv::camera_jpegs();
    std::sort(jpegs.begin(), jpegs.end(), [](const std::string& a, const std::string& b) {
        return testenv::read_file(a).size() < testenv::read_file(b).size();
    });
    jpegs.resize(std::min<size_t>(jpegs.size(), 8));
    for (const std::string& j : jpegs)
        ASSERT_EQ(0, testenv::run("cp " + testenv::shell_quote(j) + " " + camera));
    limit(320, 320);
    expect_same_for_workers(all_turned(), true);
}

TEST_F(ParallelTest, SampleGeneratorPhotosGiveTheSameAlbum) {
    ASSERT_EQ(0, testenv::run(testenv::shell_quote(testenv::bin_dir() + "/snapfolio-samples") +
                              " " + camera + " --count 6 --size 800x600 >/dev/null"));
    limit(200, 200);
    expect_same_for_workers(all_turned(), true);
}

TEST_F(ParallelTest, PhotosAndMovieClipsGiveTheSameAlbum) {
    SKIP_WITHOUT_FFMPEG();
    const std::string clip = movieclips::clip(movieclips::clip_camera_avi);
    ASSERT_FALSE(clip.empty());
    ASSERT_EQ(0, testenv::run("cp " + clip + " " + camera + "/MVI_0002.AVI"));
    for (unsigned k : {1u, 3u, 4u}) put("IMG_000" + std::to_string(k) + ".JPG",
                                        albumtest::photo(400, 300, 6, true, k));
    limit(320, 320);
    expect_same_for_workers(all_turned(), false, true);
}

// A photo in the middle of 20 that cannot be decoded is left out, named in
// the same place among the others' lines; one whose level cannot be written
// ends the chain with the same lines.
TEST_F(ParallelTest, AFailingPhotoInTheMiddleGivesTheSameLinesAndFiles) {
    limit(50, 50);
    for (unsigned k = 0; k < 20; ++k) {
        std::string bytes = albumtest::photo(200, 150, k % 2 ? 6 : 1, k % 3 == 0, k + 1);
        if (k == 10) bytes.resize(bytes.size() / 2);  // cut off
        put("P" + std::to_string(100 + k) + ".JPG", bytes);
    }
    std::vector<files_t> files = all_turned();
    {
        SCOPED_TRACE("cut-off photo");
        expect_same_for_workers(files, false);
    }
    // A directory where photo 12's second level goes.
    testenv::write_file(camera + "/P110.JPG", albumtest::photo(200, 150, 1, false, 11));
    for (unsigned jobs : {1u, 4u}) {
        SCOPED_TRACE(std::to_string(jobs) + " workers, unwritable level");
        snapfolio::g_global.jobs = jobs;
        testenv::run("rm -rf " + testenv::shell_quote(album.str()) + " && mkdir -p " +
                     testenv::shell_quote(album.str("size2", "P112.JPG")));
        const albumtest::run_t r = albumtest::make_album(camera, files, album);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(album.str("size2", "P112.JPG") + ": write error, Is a directory\n" +
                      album.str("size2", "P112.JPG") + ": savejpeg fail.\nshinkone() fail.\nshrink() fail.\n",
                  r.err);
        // Every photo before it is whole.
        for (unsigned k = 0; k < 12; ++k)
            EXPECT_TRUE(testenv::exists(album.str("thumb", "P" + std::to_string(100 + k) + ".JPG")))
                << k;
    }
}

// Every level file gets 0666 less the user's umask, and the umask stays what
// it was, however many workers write at once.
TEST_F(ParallelTest, WorkersKeepTheUmaskAndTheFileModes) {
    limit(50, 50);
    for (unsigned k = 0; k < 12; ++k)
        put("M" + std::to_string(k) + ".JPG", albumtest::jpeg(200, 150, k + 1));
    snapfolio::g_global.jobs = 4;
    const mode_t old = ::umask(027);
    const albumtest::run_t r = albumtest::make_album(camera, all_turned(), album);
    const mode_t after = ::umask(old);
    EXPECT_TRUE(r.ok) << r.err;
    EXPECT_EQ(mode_t(027), after);
    for (unsigned k = 0; k < 12; ++k) {
        struct stat st;
        ASSERT_EQ(0, ::stat(album.str("size1", "M" + std::to_string(k) + ".JPG").c_str(), &st));
        EXPECT_EQ(mode_t(0640), st.st_mode & 0777) << k;
    }
}

}  // namespace

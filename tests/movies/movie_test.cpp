// The movie chain against the real ffmpeg: levels, sizes and stills of clips
// like cameras write, the command lines it echoes, and what it does with
// file names the shell would otherwise take apart.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdlib>
#include <sstream>

#include "support/scoped_env.h"
#include "support/movieclips.h"
#include "support/saved_global.h"
#include "snapfolio/engine/movie.h"
#include "support/testenv.h"

using namespace snapfolio;
using movieclips::capture_t;
using movieclips::probe_size;
using testenv::saved_global_t;

namespace {

path_t album_in(const std::string& dir) {
    return path_t(dir, "", "album");
}

long long mtime_ns(const std::string& file) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) return -1;
    return (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

// Counts the lines of text that begin with prefix.
int lines_beginning(const std::string& text, const std::string& prefix) {
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
}

}  // namespace

TEST(MovieCommands, EchoedCommandLinesForPlainNames) {
    saved_global_t keep;
    const libgr::direction2ul_t hd(960, 540), none = libgr::datum2ul;
    EXPECT_EQ(ffidentify_command("/a/original/M.MOV"), "ffmpeg -i \"/a/original/M.MOV\" 2>&1");
    g_global.hwaccel.clear();
    g_global.ffmpeg = "-c:v libx264 -crf 23";
    EXPECT_EQ(ffconvert_command("/a/movie0/M.mp4", "/a/movie1/M.mp4", hd),
              "ffmpeg -y  -resize 960x540 -i \"/a/movie0/M.mp4\" -s 960x540 -c:v libx264 -crf 23 "
              "\"/a/movie1/M.mp4\"");
    EXPECT_EQ(ffconvert_command("/a/original/V.mp4", "/a/movie0/V.mp4", none),
              "ffmpeg -y  -i \"/a/original/V.mp4\" \"/a/movie0/V.mp4\"");
    g_global.ffmpeg.clear();  // empty: the default codec options
    EXPECT_EQ(ffconvert_command("s.avi", "t.mp4", libgr::direction2ul_t(640, 480)),
              "ffmpeg -y  -resize 640x480 -i \"s.avi\" -s 640x480 -c:v libx264 -crf 23 \"t.mp4\"");
    g_global.hwaccel = "-hwaccel cuda -c:v h264_cuvid";
    g_global.ffmpeg = "-c:v h264_nvenc";
    EXPECT_EQ(
        ffconvert_command("s.mov", "t.mp4", hd),
        "ffmpeg -y -hwaccel cuda -c:v h264_cuvid -resize 960x540 -i \"s.mov\" -c:v h264_nvenc "
        "\"t.mp4\"");
    EXPECT_EQ(
        ffthumbnail_command("/a/movie1/M.mp4", "/a/movie1/M.jpg", none),
        "ffmpeg -y -i \"/a/movie1/M.mp4\" -f image2 -update true -frames:v 1 \"/a/movie1/M.jpg\"");
    EXPECT_EQ(
        ffthumbnail_command("m.avi", "/tmp/p/m.jpg", libgr::direction2ul_t(160, 120)),
        "ffmpeg -y -i \"m.avi\" -f image2 -update true -frames:v 1 -s 160x120 \"/tmp/p/m.jpg\"");
    // Names the shell would expand or split are quoted for it.
    EXPECT_EQ(ffidentify_command("/a/x\"$(y)`z`\\.mov"),
              "ffmpeg -i \"/a/x\\\"\\$(y)\\`z\\`\\\\.mov\" 2>&1");
}

TEST(MovieLevels, HalvingCountAgainstTheShrinkLimit) {
    saved_global_t keep;
    g_global.shrink_width = g_global.shrink_height = 1024;
    const struct {
        uint32_t w, h;
        uint64_t level;
    } cases[] = {{1920, 1080, 1}, {1280, 720, 1}, {1024, 768, 0}, {640, 480, 0},
                 {3840, 2160, 2}, {0, 0, 0},      {1025, 10, 1},  {10, 4097, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(ffshrinklevel(libgr::direction2ul_t(c.w, c.h)), c.level) << c.w << "x" << c.h;
    EXPECT_EQ(movielevelnames(1), (std::vector<std::string>{"movie0", "movie1", "movie2"}));
    EXPECT_EQ(replace_extension("MVI_0001.AVI", ".mp4"), "MVI_0001.mp4");
    EXPECT_EQ(replace_extension("a.b.mov", ".jpg"), "a.b.jpg");
    EXPECT_EQ(replace_extension("noext", ".jpg"), "noext.jpg");
}

TEST(MovieChain, IdentifiesRealClipsAndEchoesTheCommand) {
    SKIP_WITHOUT_FFMPEG();
    const struct {
        movieclips::e_clip_t clip;
        uint32_t w, h;
    } cases[] = {{movieclips::clip_camera_avi, 640, 480},
                 {movieclips::clip_fullhd_mov, 1920, 1080},
                 {movieclips::clip_hd_mp4, 1280, 720},
                 {movieclips::clip_audio_mp4, 0, 0}};
    for (const auto& c : cases) {
        std::string file = movieclips::clip(c.clip);
        ASSERT_FALSE(file.empty());
        libgr::direction2ul_t size;
        std::string info;
        capture_t cap;
        ffidentify(file, size, info);
        cap.release();
        EXPECT_EQ(cap.out(), "ffmpeg -i \"" + file + "\" 2>&1\n");
        EXPECT_EQ(size, libgr::direction2ul_t(c.w, c.h)) << file;
        EXPECT_EQ(info, c.w ? "00:00:01.00" : "") << file;
    }
}

// The whole ladder of a 1920x1080 clip, and a second run over it.
TEST(MovieChain, FullHdClipGetsThreeLevelsWithStillsAndARerunConvertsNothing) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    g_global.shrink_width = g_global.shrink_height = 1024;
    g_global.ffmpeg = "-c:v libx264 -crf 23 -preset ultrafast";
    g_global.hwaccel.clear();
    std::string dir = testenv::scratch_dir("fullhd");
    path_t path = album_in(dir);
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_fullhd_mov, "MVI_0001.MOV"));

    std::ostringstream err;
    capture_t cap;
    bool ok = ffmovie(path, "MVI_0001.MOV", err);
    cap.release();
    ASSERT_TRUE(ok) << err.str();
    EXPECT_EQ(err.str(), "");

    const char* sizes[] = {"1920x1080", "960x540", "480x270"};
    for (int j = 0; j < 3; ++j) {
        std::string level = "movie" + std::to_string(j);
        EXPECT_EQ(probe_size(path.str(level, "MVI_0001.mp4")), sizes[j]) << level;
        EXPECT_EQ(probe_size(path.str(level, "MVI_0001.jpg")), sizes[j]) << level;
    }
    EXPECT_FALSE(testenv::exists(path.str("movie3")));

    // Conversions on standard output in order, stills on standard error.
    const std::string a = path.str();
    const std::string opts = " -c:v libx264 -crf 23 -preset ultrafast ";
    EXPECT_EQ(cap.out(), "ffmpeg -i \"" + a +
                             "/original/MVI_0001.MOV\" 2>&1\n"
                             "ffmpeg -y  -resize 1920x1080 -i \"" +
                             a + "/original/MVI_0001.MOV\" -s 1920x1080" + opts + "\"" + a +
                             "/movie0/MVI_0001.mp4\"\n"
                             "ffmpeg -y  -resize 960x540 -i \"" +
                             a + "/movie0/MVI_0001.mp4\" -s 960x540" + opts + "\"" + a +
                             "/movie1/MVI_0001.mp4\"\n"
                             "ffmpeg -y  -resize 480x270 -i \"" +
                             a + "/movie1/MVI_0001.mp4\" -s 480x270" + opts + "\"" + a +
                             "/movie2/MVI_0001.mp4\"\n");
    for (int j = 0; j < 3; ++j) {
        std::string level = a + "/movie" + std::to_string(j) + "/MVI_0001";
        EXPECT_NE(
            cap.err().find("ffmpeg -y -i \"" + level +
                           ".mp4\" -f image2 -update true -frames:v 1 \"" + level + ".jpg\"\n"),
            std::string::npos)
            << cap.err();
    }

    // Everything is newer than its source: only the identification runs.
    long long before = mtime_ns(path.str("movie2", "MVI_0001.mp4"));
    capture_t again;
    ok = ffmovie(path, "MVI_0001.MOV", err);
    again.release();
    EXPECT_TRUE(ok);
    EXPECT_EQ(lines_beginning(again.out(), "ffmpeg -y"), 0) << again.out();
    EXPECT_EQ(lines_beginning(again.out(), "ffmpeg -i"), 1);
    EXPECT_EQ(again.err(), "");
    EXPECT_EQ(mtime_ns(path.str("movie2", "MVI_0001.mp4")), before);

    // A missing level is made again from the one above it, and only it.
    ASSERT_EQ(::unlink(path.str("movie1", "MVI_0001.jpg").c_str()), 0);
    capture_t third;
    ok = ffmovie(path, "MVI_0001.MOV", err);
    third.release();
    EXPECT_TRUE(ok);
    EXPECT_EQ(lines_beginning(third.out(), "ffmpeg -y"), 0);
    EXPECT_EQ(lines_beginning(third.err(), "ffmpeg -y"), 1);
    EXPECT_EQ(probe_size(path.str("movie1", "MVI_0001.jpg")), "960x540");
}

TEST(MovieChain, HdAndOddSizesAndCameraMjpeg) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    g_global.shrink_width = g_global.shrink_height = 1024;
    g_global.ffmpeg = "-c:v libx264 -crf 23 -preset ultrafast";
    const struct {
        movieclips::e_clip_t clip;
        const char* name;
        std::vector<std::string> sizes;  // movie0, movie1, ...
    } cases[] = {
        {movieclips::clip_hd_mp4, "HD.MP4", {"1280x720", "640x360", "320x180"}},
        // 810x606 halves to 405x303, made even: 404x302.
        {movieclips::clip_odd_mp4, "odd.mp4", {"810x606", "404x302"}},
        {movieclips::clip_camera_avi, "MVI_0002.AVI", {"640x480", "320x240"}},
    };
    for (const auto& c : cases) {
        path_t path = album_in(testenv::scratch_dir("levels"));
        ASSERT_TRUE(movieclips::put_movie(path.str(), c.clip, c.name));
        std::ostringstream err;
        capture_t cap;
        bool ok = ffmovie(path, c.name, err);
        cap.release();
        ASSERT_TRUE(ok) << c.name << ": " << err.str();
        std::string mp4 = replace_extension(c.name, ".mp4");
        std::string jpg = replace_extension(c.name, ".jpg");
        for (size_t j = 0; j < c.sizes.size(); ++j) {
            std::string level = "movie" + std::to_string(j);
            EXPECT_EQ(probe_size(path.str(level, mp4)), c.sizes[j]) << c.name << " " << level;
            EXPECT_EQ(probe_size(path.str(level, jpg)), c.sizes[j]) << c.name << " " << level;
            EXPECT_EQ(movieclips::probe_field(path.str(level, mp4), "codec_name"), "h264");
        }
        EXPECT_FALSE(testenv::exists(path.str("movie" + std::to_string(c.sizes.size()))));
    }
}

// Sound only: no size, M = 0, conversions without size or codec options; a
// still cannot be taken, which ends the chain with a message.
TEST(MovieChain, SoundOnlyClipHasNoSizeAndNoStill) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    path_t path = album_in(testenv::scratch_dir("audio"));
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_audio_mp4, "VOICE.MP4"));
    libgr::direction2ul_t size(1, 1);
    std::string info = "x";
    capture_t cap;
    EXPECT_EQ(getffshrinklevel(path, "original", "VOICE.MP4", size, info), 0u);
    std::ostringstream err;
    bool ok = ffmovie(path, "VOICE.MP4", err);
    cap.release();
    EXPECT_EQ(size, libgr::datum2ul);
    EXPECT_EQ(info, "");
    EXPECT_NE(cap.out().find("ffmpeg -y  -i \"" + path.str("original", "VOICE.MP4") + "\" \"" +
                             path.str("movie0", "VOICE.mp4") + "\"\n"),
              std::string::npos)
        << cap.out();
    EXPECT_TRUE(testenv::exists(path.str("movie0", "VOICE.mp4")));
    EXPECT_FALSE(ok);
    EXPECT_EQ(err.str(), path.str("movie0", "VOICE.mp4") + ": movie thumbnail save failed.\n");
    EXPECT_FALSE(testenv::exists(path.str("movie0", "VOICE.jpg")));
}

// A failed conversion leaves no partial file that would pass for up to date.
TEST(MovieChain, FailedConversionLeavesNoTarget) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    g_global.ffmpeg = "-c:v no_such_encoder";
    std::string dir = testenv::scratch_dir("fail");
    std::string source = movieclips::clip(movieclips::clip_camera_avi);
    std::string target = dir + "/out.mp4";
    std::string fresh = dir + "/in.avi";
    ASSERT_TRUE(testenv::write_file(fresh, testenv::read_file(source)));
    // A stale target, older than the source.
    ASSERT_TRUE(testenv::write_file(target, "stale"));
    struct utimbuf old = {1000000000, 1000000000};
    ASSERT_EQ(::utime(target.c_str(), &old), 0);
    capture_t cap;
    EXPECT_FALSE(ffconvertone(fresh, target, libgr::direction2ul_t(320, 240)));
    cap.release();
    EXPECT_FALSE(testenv::exists(target));
}

// A clip whose name holds a double quote, "$(...)" and backquotes is
// converted as it is, and nothing of its name runs as a command.
TEST(MovieChain, NamesWithShellCharactersAreNeverRun) {
    SKIP_WITHOUT_FFMPEG();
    saved_global_t keep;
    g_global.ffmpeg = "-c:v libx264 -crf 23 -preset ultrafast";
    std::string dir = testenv::scratch_dir("quote");
    // A stand-in "c" on PATH would show whether `c` was run.
    std::string bin = dir + "/bin";
    ::mkdir(bin.c_str(), 0755);
    ASSERT_TRUE(testenv::write_file(bin + "/c", "#!/bin/sh\ntouch \"" + dir + "/c-ran\"\n"));
    ::chmod((bin + "/c").c_str(), 0755);
    scoped_env path_env("PATH", bin + ":" + std::string(getenv("PATH") ? getenv("PATH") : ""));

    std::string work = dir + "/cwd";
    ::mkdir(work.c_str(), 0755);
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(work.c_str()), 0);

    const std::string name = "a\"b $(touch x) `c` $HOME\\.mov";
    path_t path = album_in(dir);
    ASSERT_TRUE(movieclips::put_movie(path.str(), movieclips::clip_camera_avi, name));
    std::ostringstream err;
    capture_t cap;
    bool ok = ffmovie(path, name, err);
    cap.release();
    ASSERT_EQ(::chdir(cwd), 0);

    EXPECT_TRUE(ok) << err.str();
    const std::string mp4 = replace_extension(name, ".mp4");
    EXPECT_EQ(probe_size(path.str("movie0", mp4)), "640x480");
    EXPECT_EQ(probe_size(path.str("movie1", mp4)), "320x240");
    EXPECT_TRUE(testenv::exists(path.str("movie1", replace_extension(name, ".jpg"))));
    EXPECT_FALSE(testenv::exists(work + "/x"));
    EXPECT_FALSE(testenv::exists(dir + "/c-ran"));
    // The echoed command can be pasted into a shell as it is.
    EXPECT_NE(cap.out().find("ffmpeg -i \"" + path.str() +
                             "/original/a\\\"b \\$(touch x) \\`c\\` \\$HOME\\\\.mov\" 2>&1\n"),
              std::string::npos)
        << cap.out();
}

// A file name that holds the report's key words does not confuse the reader.
TEST(MovieChain, NameHoldingReportWordsIsIdentified) {
    SKIP_WITHOUT_FFMPEG();
    std::string dir = testenv::scratch_dir("words");
    std::string file = dir + "/Stream to Video, Duration 9x9.avi";
    ASSERT_TRUE(testenv::write_file(
        file, testenv::read_file(movieclips::clip(movieclips::clip_camera_avi))));
    libgr::direction2ul_t size;
    std::string info;
    capture_t cap;
    ffidentify(file, size, info);
    cap.release();
    EXPECT_EQ(size, libgr::direction2ul_t(640, 480));
    EXPECT_EQ(info, "00:00:01.00");
}

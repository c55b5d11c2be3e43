// Reading ffmpeg's report on an input: reports of ffmpeg 5.1 captured on
// this system (the long configuration line left out), and reports in the
// wording of older and newer ffmpeg versions.
#include <gtest/gtest.h>

#include <string>

#include "snapfolio/engine/movie.h"

using snapfolio::ffparse_report;

namespace {

// What ffmpeg 5.1.9 prints first on every run (the long configuration line
// left out).
const std::string s_ffmpeg51_banner =
    R"rep(ffmpeg version 5.1.9-0+deb12u1 Copyright (c) 2000-2026 the FFmpeg developers
  built with gcc 12 (Debian 12.2.0-14+deb12u1)
  libavutil      57. 28.100 / 57. 28.100
  libavcodec     59. 37.100 / 59. 37.100
  libavformat    59. 27.100 / 59. 27.100
  libavdevice    59.  7.100 / 59.  7.100
  libavfilter     8. 44.100 /  8. 44.100
  libswscale      6.  7.100 /  6.  7.100
  libswresample   4.  7.100 /  4.  7.100
  libpostproc    56.  6.100 / 56.  6.100
)rep";

// ffmpeg 5.1.9 (Debian 12) on a Motion-JPEG AVI, an H.264 MOV and an
// AAC-only MP4.
const std::string s_ffmpeg51_avi =
    s_ffmpeg51_banner + R"rep(Guessed Channel Layout for Input Stream #0.1 : mono
Input #0, avi, from 'clip.avi':
  Metadata:
    software        : Lavf59.27.100
  Duration: 00:00:01.00, start: 0.000000, bitrate: 4665 kb/s
  Stream #0:0: Video: mjpeg (Baseline) (MJPG / 0x47504A4D), yuvj422p(pc, bt470bg/unknown/unknown), 640x480 [SAR 1:1 DAR 4:3], 3998 kb/s, 30 fps, 30 tbr, 30 tbn
  Stream #0:1: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 44100 Hz, mono, s16, 705 kb/s
At least one output file must be specified
)rep";
const std::string s_ffmpeg51_mov =
    s_ffmpeg51_banner + R"rep(Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'clip.mov':
  Metadata:
    major_brand     : qt  
    minor_version   : 512
    compatible_brands: qt  
    encoder         : Lavf59.27.100
  Duration: 00:00:01.00, start: 0.000000, bitrate: 6212 kb/s
  Stream #0:0[0x1]: Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive), 1920x1080 [SAR 1:1 DAR 16:9], 6120 kb/s, 30 fps, 30 tbr, 15360 tbn (default)
    Metadata:
      handler_name    : VideoHandler
      vendor_id       : FFMP
      encoder         : Lavc59.37.100 libx264
  Stream #0:1[0x2]: Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, mono, fltp, 70 kb/s (default)
    Metadata:
      handler_name    : SoundHandler
      vendor_id       : [0][0][0][0]
At least one output file must be specified
)rep";
const std::string s_ffmpeg51_audio =
    s_ffmpeg51_banner + R"rep(Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'audio.mp4':
  Metadata:
    major_brand     : isom
    minor_version   : 512
    compatible_brands: isomiso2mp41
    encoder         : Lavf59.27.100
  Duration: 00:00:01.00, start: 0.000000, bitrate: 79 kb/s
  Stream #0:0[0x1](und): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, mono, fltp, 70 kb/s (default)
    Metadata:
      handler_name    : SoundHandler
      vendor_id       : [0][0][0][0]
At least one output file must be specified
)rep";

struct report_case_t {
    const char* what;
    std::string report;
    uint32_t width, height;
    const char* info;
};

}  // namespace

TEST(FfReport, ReadsSizeAndDurationInTheWordingOfManyVersions) {
    const report_case_t cases[] = {
        {"ffmpeg 5.1, Motion-JPEG AVI", s_ffmpeg51_avi, 640, 480, "00:00:01.00"},
        {"ffmpeg 5.1, H.264 MOV", s_ffmpeg51_mov, 1920, 1080, "00:00:01.00"},
        {"ffmpeg 5.1, sound only", s_ffmpeg51_audio, 0, 0, ""},
        {"ffmpeg 0.x: dotted stream numbers, no parentheses",
         "Input #0, avi, from 'MVI_0001.AVI':\n"
         "  Duration: 00:00:05.00, start: 0.000000, bitrate: 8000 kb/s\n"
         "    Stream #0.0: Video: mjpeg, yuvj422p, 640x480, 30 tbr, 30 tbn, 30 tbc\n"
         "    Stream #0.1: Audio: pcm_u8, 8000 Hz, 1 channels, u8, 64 kb/s\n",
         640, 480, "00:00:05.00"},
        {"ffmpeg 2.x to 4.x: language tag, colour space in parentheses",
         "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'P1000001.MOV':\n"
         "  Metadata:\n"
         "    creation_time   : 2015-06-01T10:00:00.000000Z\n"
         "  Duration: 00:01:23.45, start: 0.000000, bitrate: 17215 kb/s\n"
         "    Stream #0:0(und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709), "
         "1920x1080 [SAR 1:1 DAR 16:9], 16987 kb/s, 29.97 fps, 29.97 tbr, 30k tbn, 59.94 tbc "
         "(default)\n",
         1920, 1080, "00:01:23.45"},
        {"ffmpeg 6 and 7: stream id in brackets, range and field order",
         "  Duration: 00:00:10.01, start: 0.000000, bitrate: 6212 kb/s\n"
         "  Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709, "
         "progressive), 1920x1080 [SAR 1:1 DAR 16:9], 6120 kb/s, 30 fps, 30 tbr, 15360 tbn "
         "(default)\n",
         1920, 1080, "00:00:10.01"},
        {"ffmpeg 7, 10-bit HEVC with a slash-separated colour description",
         "  Duration: 00:00:03.20, start: 0.000000, bitrate: 45000 kb/s\n"
         "  Stream #0:0[0x1](und): Video: hevc (Main 10) (hvc1 / 0x31637668), "
         "yuv420p10le(tv, bt2020nc/bt2020/arib-std-b67), 3840x2160, 44000 kb/s, 59.94 fps, "
         "59.94 tbr, 600 tbn (default)\n",
         3840, 2160, "00:00:03.20"},
        {"QuickTime Motion-JPEG from a compact camera",
         "  Duration: 00:00:12.40, start: 0.000000, bitrate: 25980 kb/s\n"
         "  Stream #0:0(eng): Video: mjpeg (Baseline) (jpeg / 0x6765706A), yuvj422p(pc, "
         "bt470bg/unknown/unknown), 1280x720, 25641 kb/s, 30 fps, 30 tbr, 30 tbn (default)\n",
         1280, 720, "00:00:12.40"},
        {"the sound stream comes first",
         "  Duration: 00:00:02.00, start: 0.000000, bitrate: 900 kb/s\n"
         "  Stream #0:0: Audio: aac (LC), 48000 Hz, stereo, fltp\n"
         "  Stream #0:1: Video: h264 (Main), yuv420p, 320x240, 25 fps\n",
         320, 240, "00:00:02.00"},
        {"the first of two video streams counts",
         "  Duration: 00:00:02.00, bitrate: 900 kb/s\n"
         "  Stream #0:0: Video: h264 (Main), yuv420p, 320x240, 25 fps\n"
         "  Stream #0:1: Video: mjpeg, yuvj420p, 160x120\n",
         320, 240, "00:00:02.00"},
        {"CR LF line ends",
         "  Duration: 00:00:02.50, start: 0.0, bitrate: 1 kb/s\r\n"
         "  Stream #0:0: Video: mjpeg, yuvj422p, 640x480, 30 tbr\r\n",
         640, 480, "00:00:02.50"},
        {"duration not known",
         "  Duration: N/A, bitrate: N/A\n"
         "  Stream #0:0: Video: h264, yuv420p, 720x480, 25 fps\n",
         720, 480, "N/A"},
        {"no Duration line at all", "  Stream #0:0: Video: h264, yuv420p, 720x480\n", 720, 480, ""},
        {"a file name holding the key words is not a report line",
         "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'Stream to Video, Duration 1x2.mov':\n"
         "  Metadata:\n"
         "    title           : Duration: 99:99, Stream Video, a, 7x7\n"
         "  Duration: 00:00:04.00, start: 0.000000, bitrate: 512 kb/s\n"
         "  Stream #0:0(und): Video: h264 (High) (avc1 / 0x31637661), yuv420p, 1280x720\n",
         1280, 720, "00:00:04.00"},
        {"no video stream",
         "  Duration: 00:00:04.00, start: 0.0, bitrate: 5 kb/s\n"
         "  Stream #0:0: Audio: mp3, 44100 Hz\n",
         0, 0, ""},
        {"no report", "/no/such.mov: No such file or directory\n", 0, 0, ""},
        {"empty", "", 0, 0, ""},
    };
    for (const report_case_t& c : cases) {
        libgr::direction2ul_t size(1, 1);
        std::string info = "old";
        ffparse_report(c.report, size, info);
        EXPECT_EQ(size.x, c.width) << c.what;
        EXPECT_EQ(size.y, c.height) << c.what;
        EXPECT_EQ(info, c.info) << c.what;
    }
}

TEST(FfReport, StopsReadingAtTheVideoLine) {
    snapfolio::ffreport_t r;
    EXPECT_FALSE(r.feed("  Duration: 00:00:01.00, start: 0.0"));
    EXPECT_FALSE(r.feed("  Stream #0:0: Audio: aac"));
    EXPECT_TRUE(r.feed("  Stream #0:1: Video: h264, yuv420p, 64x48"));
    EXPECT_TRUE(r.feed("  Duration: 00:00:09.00, start: 0.0"));
    libgr::direction2ul_t size;
    std::string info;
    r.result(size, info);
    EXPECT_EQ(size, libgr::direction2ul_t(64, 48));
    EXPECT_EQ(info, "00:00:01.00");
}

TEST(FfReport, MalformedVideoLinesNeverFail) {
    const struct {
        const char* line;
        uint32_t width, height;
    } cases[] = {
        {"Stream Video", 0, 0},
        {"Stream Video,", 0, 0},
        {"Stream Video,,", 0, 0},
        {"Stream Video, a,", 0, 0},
        {"Stream Video, a, ", 0, 0},
        {"Stream Video, a,    ", 0, 0},
        {"Stream Video, a, 640", 0, 0},
        {"Stream Video, a, x", 0, 0},
        {"Stream Video, a, 640x", 0, 0},
        {"Stream Video(((, a, 1x2", 0, 0},
        {"Stream #0:0: Video: (, (, (, 640x480", 0, 0},
        {"Stream Video)), a)(, 1x2", 1, 2},
        {"Stream Video, a, 0x10x20", 0, 10},
        {"Stream Video, a, 4294967296x480", 0, 0},
        {"Stream Video, a, 640x99999999999999999999999", 0, 0},
    };
    for (const auto& c : cases) {
        libgr::direction2ul_t size(1, 1);
        std::string info;
        ffparse_report(std::string("  Duration: 1,\n") + c.line + "\n", size, info);
        EXPECT_EQ(info, "1") << c.line;
        EXPECT_EQ(size, libgr::direction2ul_t(c.width, c.height)) << c.line;
    }
}

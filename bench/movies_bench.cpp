// The movie chain's overhead. Conversion time is ffmpeg's; what is ours is
// starting the shell, reading ffmpeg's report and building command lines.
// Measured on generated camera-like clips (Motion-JPEG 640x480, H.264
// 1280x720 and 1920x1080, one second each):
//   - ffidentify against the same `ffmpeg -i` spawned directly with its
//     output thrown away (the difference is the shell and the report reader);
//   - report parsing and command building per movie, in microseconds;
//   - one album run: this process's CPU time against its ffmpeg children's;
//   - a second run over the unchanged album: conversions started (must be
//     0) and its time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/benchutil.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/movie.h"

namespace {

using namespace benchutil;

double cpu_ms(int who) {
    rusage ru;
    getrusage(who, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

// Runs argv with every output on /dev/null; wall time in ms, whatever its
// exit status ("ffmpeg -i" alone always ends with 1).
double run_quietly(const std::vector<std::string>& argv) {
    run_t how;
    how.quiet = true;
    how.any_status = true;
    return benchutil::run_tool(argv, &how);
}

// Standard output and error of this process and its children go to
// /dev/null while it lives; std::cout is collected.
class quiet_t {
    int m_out, m_err;
    std::streambuf* m_old;

  public:
    std::ostringstream echoed;
    quiet_t() : m_out(dup(1)), m_err(dup(2)), m_old(std::cout.rdbuf(echoed.rdbuf())) {
        std::fflush(nullptr);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        close(null);
    }
    ~quiet_t() {
        std::fflush(nullptr);
        std::cerr.flush();
        dup2(m_out, 1);
        dup2(m_err, 2);
        close(m_out);
        close(m_err);
        std::cout.rdbuf(m_old);
    }
};

int count_lines(const std::string& text, const std::string& prefix) {
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) n += line.compare(0, prefix.size(), prefix) == 0;
    return n;
}

}  // namespace

int main() {
    char tmpl[] = "/tmp/bench-movies-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const std::string dir = tmpl;
    snapfolio::path_t album(dir, "", "album");
    mkdir(album.str().c_str(), 0755);
    mkdir(album.str("original").c_str(), 0755);

    const struct {
        const char* name;
        const char* args;
    } clips[] = {
        {"MVI_0001.AVI",
         "-f lavfi -i testsrc=size=640x480:rate=30 -f lavfi -i sine -t 1 -c:v mjpeg -q:v 3 "
         "-pix_fmt yuvj422p -c:a pcm_s16le"},
        {"MVI_0002.MP4",
         "-f lavfi -i testsrc2=size=1280x720:rate=30 -t 1 -c:v libx264 -pix_fmt yuv420p"},
        {"MVI_0003.MOV",
         "-f lavfi -i testsrc2=size=1920x1080:rate=30 -f lavfi -i sine -t 1 -c:v libx264 "
         "-pix_fmt yuv420p -c:a aac"},
    };
    for (const auto& c : clips) {
        std::string cmd = std::string("ffmpeg -nostdin -v error -y ") + c.args + " '" +
                          album.str("original", c.name) + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "bench_movies: ffmpeg could not make %s\n", c.name);
            return 1;
        }
    }

    // Identification against the bare ffmpeg -i.
    std::printf("identification (median of 9, ms): ours = shell + ffmpeg -i + report reader\n");
    for (const auto& c : clips) {
        std::string file = album.str("original", c.name);
        std::vector<double> ours, bare;
        libgr::direction2ul_t size;
        std::string info;
        for (int i = 0; i < 9; ++i) {
            bare.push_back(run_quietly({"ffmpeg", "-i", file}));
            quiet_t q;
            double t0 = now_ms();
            snapfolio::ffidentify(file, size, info);
            ours.push_back(now_ms() - t0);
        }
        double o = median(ours), b = median(bare);
        std::printf("  %-13s %ux%u  ours %6.1f  bare ffmpeg -i %6.1f  overhead %5.1f ms (%.2fx)\n",
                    c.name, size.x, size.y, o, b, o - b, o / b);
    }

    // Pure in-process work per movie: reading a report, building the
    // conversion and still commands of three levels.
    const std::string report =
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'MVI_0003.MOV':\n"
        "  Duration: 00:00:01.00, start: 0.000000, bitrate: 6212 kb/s\n"
        "  Stream #0:0[0x1]: Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive), "
        "1920x1080 [SAR 1:1 DAR 16:9], 6120 kb/s, 30 fps, 30 tbr, 15360 tbn (default)\n";
    const int n = 20000;
    size_t sink = 0;
    double t0 = now_ms();
    for (int i = 0; i < n; ++i) {
        libgr::direction2ul_t size;
        std::string info;
        snapfolio::ffparse_report(report, size, info);
        for (int j = 0; j < 3; ++j) {
            sink += snapfolio::ffconvert_command("/a/movie0/MVI_0003.mp4", "/a/movie1/MVI_0003.mp4",
                                                 size)
                        .size();
            sink += snapfolio::ffthumbnail_command("/a/movie1/MVI_0003.mp4",
                                                   "/a/movie1/MVI_0003.jpg", libgr::datum2ul)
                        .size();
        }
    }
    double per_movie_us = (now_ms() - t0) * 1000.0 / n;
    std::printf("report reading + 6 command lines per movie: %.2f us (%zu)\n", per_movie_us,
                sink % 10);

    // The album: first run converts, second run must not.
    double self0 = cpu_ms(RUSAGE_SELF), kids0 = cpu_ms(RUSAGE_CHILDREN);
    double w0 = now_ms();
    int conversions = 0;
    bool ok = true;
    {
        quiet_t q;
        for (const auto& c : clips) ok = snapfolio::ffmovie(album, c.name, std::cerr) && ok;
        conversions = count_lines(q.echoed.str(), "ffmpeg -y");
    }
    double wall = now_ms() - w0;
    double self = cpu_ms(RUSAGE_SELF) - self0, kids = cpu_ms(RUSAGE_CHILDREN) - kids0;
    std::printf(
        "first run: %d conversions, wall %.0f ms; CPU: ours %.1f ms, ffmpeg and shells %.0f ms "
        "(ours %.3f%%)\n",
        conversions, wall, self, kids, 100.0 * self / kids);

    w0 = now_ms();
    int again = 0;
    {
        quiet_t q;
        for (const auto& c : clips) ok = snapfolio::ffmovie(album, c.name, std::cerr) && ok;
        again = count_lines(q.echoed.str(), "ffmpeg -y");
    }
    std::printf(
        "second run over the unchanged album: %d conversions, wall %.0f ms "
        "(identification only)\n",
        again, now_ms() - w0);

    std::system(("rm -rf '" + dir + "'").c_str());
    if (!ok || again != 0) {
        std::printf("FAILED: %s\n", ok ? "the second run converted again" : "a movie failed");
        return 1;
    }
    return 0;
}

// The codec against libjpeg-turbo's tools in the same run: full decode of a
// camera-like 24-megapixel JPEG (6000x4000, 4:2:0, quality 92) against
// `djpeg -ppm`, encode of its half at quality 100 baseline against `cjpeg`,
// and one halving of the 24-megapixel picture against the decode. The tools
// run as processes writing to /dev/null; our code runs in-process. Each
// figure is the median of several runs, taken in turns.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/benchphoto.h"
#include "bench/benchutil.h"
#include "libgr/image/scaledown.h"
#include "libgr/jpeg/jpeginfo.h"

namespace {

using namespace benchutil;

const int k_runs = 7;

struct pair_t {
    double ours, theirs;
};

// Runs both sides in turns after one warm-up run each.
pair_t compare(const std::function<double()>& ours, const std::function<double()>& theirs) {
    ours();
    theirs();
    std::vector<double> a, b;
    for (int i = 0; i < k_runs; ++i) {
        a.push_back(ours());
        b.push_back(theirs());
    }
    return {median(a), median(b)};
}

}  // namespace

int main(int argc, char** argv) {
    // One decode of a given file and nothing else, for instruction counts:
    //   valgrind --tool=callgrind bench_codec --decode FILE
    //   valgrind --tool=callgrind djpeg -ppm -outfile /dev/null FILE
    if (argc == 3 && std::string(argv[1]) == "--decode") {
        libgr::jpegdata_t data;
        libgr::jpeginfo_t info;
        libgr::image2d_t image;
        return data.load(argv[2]) && info.decompress(image, data) ? 0 : 1;
    }
    if (!have("djpeg") || !have("cjpeg")) {
        std::printf("codec: djpeg and cjpeg are needed (libjpeg-turbo-progs); skipped\n");
        return 0;
    }
    char dir_template[] = "/tmp/bench-codec-XXXXXX";
    if (!mkdtemp(dir_template)) return 1;
    std::string dir = dir_template;
    std::string photo_path = dir + "/photo.jpg", half_path = dir + "/half.ppm";

    libgr::image2d_t photo;
    make_photo(photo, 6000, 4000);
    libgr::jpeginfo_t maker;
    libgr::jpegdata_t photo_jpeg;
    if (!maker.compress(photo_jpeg, photo, 92, true) || !photo_jpeg.save(photo_path.c_str()))
        return 1;
    photo.clear();
    libgr::jpegdata_t data;
    if (!data.load(photo_path.c_str())) return 1;
    std::printf("picture: 6000x4000 4:2:0 quality 92, %.2f MB (%.2f bits per pixel)\n",
                data.size() / 1e6, data.size() * 8.0 / 24e6);

    libgr::jpeginfo_t info;
    libgr::image2d_t image;
    pair_t decode = compare(
        [&] {
            image.clear();
            double t = now_ms();
            if (!info.decompress(image, data)) std::exit(1);
            return now_ms() - t;
        },
        [&] {
            return run_tool({"djpeg", "-ppm", photo_path});
        });

    libgr::image2d_t half;
    libgr::scaledown(half, image);
    if (!write_ppm(half_path, half)) return 1;
    libgr::jpegdata_t encoded;
    pair_t encode = compare(
        [&] {
            double t = now_ms();
            if (!info.compress(encoded, half, 100, true)) std::exit(1);
            return now_ms() - t;
        },
        [&] {
            return run_tool({"cjpeg", "-quality", "100", "-baseline", half_path});
        });

    std::vector<double> halving;
    for (int i = 0; i <= k_runs; ++i) {
        libgr::image2d_t out;
        double t = now_ms();
        libgr::scaledown(out, image);
        if (i) halving.push_back(now_ms() - t);  // the first run warms up
    }
    double scale = median(halving);

    bool ok = true;
    auto verdict = [&ok](bool met) {
        ok = ok && met;
        return met ? "met" : "MISSED";
    };
    if (decode.theirs < 0 || encode.theirs < 0) {
        std::printf("codec: a reference tool failed\n");
        return 1;
    }
    double rd = decode.ours / decode.theirs, re = encode.ours / encode.theirs,
           rs = scale / decode.ours;
    std::printf(
        "decode 24 MP:        ours %8.1f ms  djpeg %8.1f ms  ratio %.3f (target <= 1.05: %s)\n",
        decode.ours, decode.theirs, rd, verdict(rd <= 1.05));
    std::printf(
        "encode 6 MP q100:    ours %8.1f ms  cjpeg %8.1f ms  ratio %.3f (target <= 1.05: %s)\n",
        encode.ours, encode.theirs, re, verdict(re <= 1.05));
    std::printf("scaledown 24 MP RGB: ours %8.1f ms  = %.3f of our decode (target < 0.10: %s)\n",
                scale, rs, verdict(rs < 0.10));
    std::printf("(medians of %d runs; encoded half: %.2f MB)\n", k_runs, encoded.size() / 1e6);
    std::system(("rm -rf " + dir).c_str());
    return ok ? 0 : 1;
}

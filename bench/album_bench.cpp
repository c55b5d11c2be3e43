// Making a whole album from a camera folder, against the floor that
// libjpeg-turbo's tools set for the same work in the same run: one full
// `djpeg` decode per photo plus one `cjpeg -quality Q -baseline` per rung the
// album stores (from ready-made halves, since the tools cannot halve). Also
// the peak memory of a make (a child process of its own) against one decoded
// photo per worker, the make with one worker (the speed-up the workers
// give), an update of the unchanged album against the make, a batch update
// of a tree of 5 such albums whose levels were all deleted against 5 times
// the floor, and the plain time of making an album of 12-megapixel photos.
// Each make and batch is the median of three runs; each tool of the floor
// the faster of two.
//
//   bench_album [--photos N] [--keep DIR]   (DIR: where the photos are kept)
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
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/benchphoto.h"
#include "bench/benchutil.h"
#include "libgr/image/scaledown.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/workpool.h"

namespace {

using namespace benchutil;

// Writes `count` camera-like photos of the given size once; later runs reuse
// them.
bool make_photos(const std::string& dir, int count, const char* size) {
    if ((int)photos_in(dir).size() == count) return true;
    std::string cmd = std::string("rm -rf '") + dir + "' && " + SAMPLES_PROGRAM + " '" + dir +
                      "' --upright --count " + std::to_string(count) + " --size " + size;
    std::cout << "writing " << count << " photos of " << size << " into " << dir << std::endl;
    return std::system(cmd.c_str()) == 0;
}

// The faster of two runs of a tool: the floor is what the tools can do, not
// what a machine's hiccup made of one run.
double best_of_two(const std::vector<std::string>& argv) {
    const double a = run_tool(argv), b = run_tool(argv);
    return a < 0 || b < 0 ? -1 : std::min(a, b);
}

// The floor: one djpeg per photo, one cjpeg per encoded rung.
double floor_ms(const std::string& camera, const std::string& work) {
    int quality = (int)snapfolio::g_global.jpeg_compress;
    double total = 0;
    for (const std::string& name : photos_in(camera)) {
        std::string src = camera + "/" + name;
        double t = best_of_two({"djpeg", "-ppm", src});
        if (t < 0) return -1;
        total += t;
        // The rungs: halves 1 to L+1 (the thumbnail is the camera's own).
        libgr::jpegdata_t data;
        libgr::jpeginfo_t info;
        libgr::image2d_t img, half;
        if (!data.load(src.c_str()) || !info.decompress(img, data, 0, false, {})) return -1;
        uint64_t level = snapfolio::getshrinklevel(src);
        for (uint64_t i = 1; i <= level + 1; ++i) {
            if (!libgr::scaledown(half, img)) return -1;
            img = half;
            std::string ppm = work + "/rung.ppm";
            write_ppm(ppm, img);
            flush_dirty_pages();
            double e =
                best_of_two({"cjpeg", "-quality", std::to_string(quality), "-baseline", ppm});
            if (e < 0) return -1;
            total += e;
        }
    }
    return total;
}

bool make_album(const std::string& camera, const std::string& root, const std::string& name,
                bool update) {
    std::vector<snapfolio::files_t> files;
    for (const std::string& n : photos_in(camera)) files.push_back({n, 0});
    snapfolio::path_t path(root, "", name);
    libutils::mkdir(root);
    libutils::mkdir(path.str());
    sigc::signal<void, double> copy, shrink, html, zoom;
    std::ostringstream err;
    bool ok =
        update ? snapfolio::updatealbum(path, files, copy, shrink, html, zoom, err)
               : snapfolio::makealbumwithrotate(camera, files, path, copy, shrink, html, zoom, err);
    if (!ok) std::cerr << err.str();
    return ok;
}

// Runs this program again as `--child-make CAMERA ROOT JOBS`, three times,
// and returns the median time and the largest peak resident size in MiB.
// jobs 0: one worker per core.
bool child_make(const std::string& self, const std::string& camera, const std::string& root,
                double& peak_mib, double& ms, unsigned jobs = 0) {
    std::vector<double> times;
    peak_mib = 0;
    for (int run = 0; run < 3; ++run) {
        std::system(("rm -rf '" + root + "'").c_str());
        flush_dirty_pages();
        run_t how;
        const double t = run_tool({self, "--child-make", camera, root, std::to_string(jobs)}, &how);
        if (t < 0) return false;
        times.push_back(t);
        peak_mib = std::max(peak_mib, (double)how.peak_kib / 1024.0);
    }
    ms = median(times);
    return true;
}

// A book of five copies of the album with every level deleted, brought up
// to date by snapfolio-cli batch (default settings, default workers); the
// median of three runs. The copies are hard links: the batch replaces every
// file it writes, and copying the originals would only fill the page cache.
double batch_ms(const std::string& album, const std::string& book) {
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        std::string cmd = "rm -rf '" + book + "' && mkdir -p '" + book + "'";
        for (int k = 1; k <= 5; ++k) {
            const std::string copy = book + "/album" + std::to_string(k);
            cmd += " && cp -al '" + album + "' '" + copy + "' && rm -rf '" + copy + "'/size* '" +
                   copy + "'/thumb";
        }
        if (std::system(cmd.c_str()) != 0) return -1;
        flush_dirty_pages();
        run_t quiet;
        quiet.quiet = true;
        setenv("HOME", book.c_str(), 1);  // no settings file: the defaults
        const double t = run_tool({CLI_PROGRAM, "batch", book}, &quiet);
        if (t < 0) return -1;
        times.push_back(t);
    }
    return median(times);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--child-make") {
        snapfolio::g_global.jobs = std::strtoull(argv[4], nullptr, 10);
        std::ostringstream quiet;
        std::streambuf* old = std::cout.rdbuf(quiet.rdbuf());
        bool ok = make_album(argv[2], argv[3], "album", false);
        std::cout.rdbuf(old);
        return ok ? 0 : 1;
    }
    const photo_args_t args = photo_args(argc, argv, 20);
    const int photos = args.photos;
    const std::string& keep = args.keep;
    for (const char* tool : {"djpeg", "cjpeg"}) {
        if (!have(tool)) {
            std::cout << tool << " is not installed: nothing measured" << std::endl;
            return 0;
        }
    }
    std::string self = libutils::realpath("/proc/self/exe");
    libutils::mkdir(keep);
    std::string cam24 = keep + "/camera-24mp", cam12 = keep + "/camera-12mp";
    if (!make_photos(cam24, photos, "6000x4000") || !make_photos(cam12, photos, "4000x3000"))
        return 1;
    std::string work = keep + "/work";
    std::system(("rm -rf '" + work + "'").c_str());
    libutils::mkdir(work);

    flush_dirty_pages();
    double floor = floor_ms(cam24, work);
    double peak = 0, make24 = 0;
    if (floor < 0 || !child_make(self, cam24, work + "/root24", peak, make24)) return 1;

    std::ostringstream quiet;
    std::streambuf* old = std::cout.rdbuf(quiet.rdbuf());
    flush_dirty_pages();
    double t0 = now_ms();
    bool updated = make_album(cam24, work + "/root24", "album", true);
    double update24 = now_ms() - t0;
    std::cout.rdbuf(old);

    double peak1 = 0, make1 = 0;
    if (!updated || !child_make(self, cam24, work + "/root24-1", peak1, make1, 1)) return 1;
    const double batch = batch_ms(work + "/root24/album", work + "/book");
    if (batch < 0) return 1;

    double peak12 = 0, make12 = 0;
    if (!child_make(self, cam12, work + "/root12", peak12, make12)) return 1;

    const unsigned workers = snapfolio::worker_count();
    double decoded_mib = 6000.0 * 4000 * 3 / 1048576;
    std::printf("album of %d photos, 6000x4000 4:2:0 q92, quality %d rungs, %u workers\n",
                photos, (int)snapfolio::g_global.jpeg_compress, workers);
    std::printf("  make (child process)   %8.0f ms\n", make24);
    std::printf("  floor (djpeg + cjpeg)  %8.0f ms   ratio %.2f (target <= 0.60)\n", floor,
                make24 / floor);
    std::printf("  make with 1 worker     %8.0f ms   ratio %.2f; speed-up %.2f with %u\n", make1,
                make1 / floor, make1 / make24, workers);
    std::printf("  peak memory            %8.0f MiB  %.2f x one decoded photo per worker "
                "(target <= 2.5; %.2f with 1 worker)\n",
                peak, peak / (decoded_mib * workers), peak1 / decoded_mib);
    std::printf("  batch, 5 albums, no levels %8.0f ms   ratio %.2f to 5 floors (target <= 0.60)\n",
                batch, batch / (5 * floor));
    std::printf("  update, unchanged      %8.0f ms   %.1f%% of make (target < 5%%)\n", update24,
                100 * update24 / make24);
    std::printf("album of %d photos, 4000x3000: make %.0f ms (target <= 3000 ms)\n", photos,
                make12);
    return 0;
}

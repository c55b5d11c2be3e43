// The ladder of one camera-like 24-megapixel photo (6000x4000, 4:2:0,
// quality 92; shrink level 3 with the default limit: size1 to size4 and the
// thumbnail) made by shrinkone, against libjpeg-turbo's tools doing the same
// work as processes: one `djpeg` of the full size and one `cjpeg -quality 100
// -baseline` per level from ready-made halves (the tools have no halving of
// their own to count), plus `jpegtran -rotate 90` for the turned photo. Our
// side also halves and writes real files where the tools write to
// /dev/null, so a ratio near 1 means the ladder costs one decode and the
// encodes, nothing more; the target leaves room for that and for a busy
// machine. Medians of several runs, in turns.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/benchphoto.h"
#include "bench/benchutil.h"
#include "libgr/image/scaledown.h"
#include "libgr/jpeg/jpeginfo.h"
#include "snapfolio/engine/levels.h"

namespace {

using namespace benchutil;

const int k_runs = 5;

}  // namespace

int main() {
    if (!have("djpeg") || !have("cjpeg") || !have("jpegtran")) {
        std::printf(
            "levels: djpeg, cjpeg and jpegtran are needed (libjpeg-turbo-progs); skipped\n");
        return 0;
    }
    char dir_template[] = "/tmp/bench-levels-XXXXXX";
    if (!mkdtemp(dir_template)) return 1;
    std::string dir = dir_template;
    snapfolio::path_t album(dir, "", "album");
    for (const char* d : {"", "original", "size0", "size1", "size2", "size3", "size4", "thumb"})
        ::mkdir(album.str(d).c_str(), 0755);
    const std::string name = "P.JPG", original = album.str("original", name);

    libgr::image2d_t photo;
    make_photo(photo, 6000, 4000);
    libgr::jpeginfo_t maker;
    libgr::jpegdata_t jpeg;
    if (!maker.compress(jpeg, photo, 92, true) || !jpeg.save(original.c_str())) return 1;
    // The halves the tools encode, made once beforehand.
    std::vector<std::string> halves;
    for (int i = 1; i <= 5; ++i) {
        libgr::image2d_t half;
        libgr::scaledown(half, photo);
        photo = half;
        halves.push_back(dir + "/half" + std::to_string(i) + ".ppm");
        if (!write_ppm(halves.back(), photo)) return 1;
    }
    photo.clear();

    const uint64_t level = snapfolio::getshrinklevel(album, name);
    const std::vector<std::string> names = snapfolio::levelnames(level);
    auto ours = [&](uint64_t rotate) {
        for (size_t i = 1; i < names.size(); ++i) ::unlink(album.str(names[i], name).c_str());
        ::unlink(album.str("size0", name).c_str());
        std::ostringstream err;
        double t = now_ms();
        if (snapfolio::make_photo_levels(album, snapfolio::files_t{name, rotate}, err) !=
            snapfolio::photo_t::done) {
            std::printf("making the levels failed: %s\n", err.str().c_str());
            std::exit(1);
        }
        return now_ms() - t;
    };
    auto theirs = [&](bool turn) {
        double t = 0;
        if (turn)
            t += run_tool({"jpegtran", "-rotate", "90", "-outfile", dir + "/t.jpg", original});
        t += run_tool({"djpeg", "-ppm", turn ? dir + "/t.jpg" : original});
        for (size_t i = 0; i < names.size() - 1; ++i)
            t += run_tool({"cjpeg", "-quality", "100", "-baseline", halves[i]});
        return t;
    };
    bool ok = true;
    for (int turned = 0; turned < 2; ++turned) {
        ours(uint64_t(turned));
        theirs(turned);
        std::vector<double> a, b;
        for (int i = 0; i < k_runs; ++i) {
            a.push_back(ours(uint64_t(turned)));
            b.push_back(theirs(turned));
        }
        double ra = median(a) / median(b);
        bool met = ra <= 1.20;
        ok = ok && met;
        std::printf("ladder, %s: ours %8.1f ms  tools %8.1f ms  ratio %.3f (target <= 1.20: %s)\n",
                    turned ? "turned  " : "unturned", median(a), median(b), ra,
                    met ? "met" : "MISSED");
    }
    std::printf("(6000x4000, L = %llu; medians of %d runs)\n", (unsigned long long)level, k_runs);
    std::system(("rm -rf " + dir).c_str());
    return ok ? 0 : 1;
}

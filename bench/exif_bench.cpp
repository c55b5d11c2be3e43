// EXIF reading speed: every camera file's EXIF segment parsed in-process,
// against exiftool (and exiv2 when installed) reading the same files in the
// same run. Prints the times and their ratios.
//   bench_exif [CAMERA_DIR]
#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpeginfo2.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

bool has_suffix(const std::string& s, const char* tail) {
    std::string t(tail);
    if (s.size() < t.size()) return false;
    for (size_t i = 0; i < t.size(); ++i)
        if (std::tolower((unsigned char)s[s.size() - t.size() + i]) != t[i]) return false;
    return true;
}

std::vector<std::string> camera_files(const std::string& dir) {
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (has_suffix(n, ".jpg") || has_suffix(n, ".jpeg")) files.push_back(dir + "/" + n);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Best of `runs` timings of a shell command; negative when it fails.
double time_command(const std::string& command, int runs) {
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        auto start = clock_type::now();
        if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return -1;
        double t = seconds_since(start);
        if (best < 0 || t < best) best = t;
    }
    return best;
}

bool have(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : SNAPFOLIO_SOURCE_DIR "/../shared/testdata/camera";
    std::vector<std::string> files = camera_files(dir);
    if (files.empty()) {
        std::fprintf(stderr, "%s: no camera files.\n", dir.c_str());
        return 1;
    }

    // The parsers' one-line reports about refused files are not timed output.
    if (!std::freopen("/dev/null", "w", stderr)) return 1;

    // The whole path per file: map, scan the segments, parse the EXIF APP1.
    const int passes = 200;
    size_t parsed = 0;
    auto start = clock_type::now();
    for (int pass = 0; pass < passes; ++pass) {
        for (const std::string& f : files) {
            libgr::jpegdata2_t data;
            if (!data.load(f.c_str())) continue;
            libgr::jpeginfo2_t info;
            info.analyze(data);
            libgr::app1_marker_t app1;
            app1.set_app1_buffer(info.get_marker(libgr::marker_APP1));
            parsed += app1.parse();
        }
    }
    double ours = seconds_since(start) / passes;

    // The parse alone, on segments already found.
    std::vector<libgr::jpegdata2_t> data(files.size());
    std::vector<libutils::bytevector> app1s;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!data[i].load(files[i].c_str())) continue;
        libgr::jpeginfo2_t info;
        info.analyze(data[i]);
        app1s.push_back(info.get_marker(libgr::marker_APP1));
    }
    const int parse_passes = 2000;
    start = clock_type::now();
    for (int pass = 0; pass < parse_passes; ++pass) {
        for (const libutils::bytevector& b : app1s) {
            libgr::app1_marker_t app1;
            app1.set_app1_buffer(b);
            app1.parse();
        }
    }
    double parse_only = seconds_since(start) / parse_passes;

    std::string list;
    for (const std::string& f : files) list += " " + quote(f);
    double exiftool = have("exiftool") ? time_command("exiftool -j -n" + list, 3) : -1;
    double exiv2 = have("exiv2") ? time_command("exiv2 -q -pa" + list, 3) : -1;

    std::printf("files: %zu (%zu EXIF segments parsed per pass)\n", files.size(), parsed / passes);
    std::printf("ours, map+scan+parse: %.3f ms per pass\n", ours * 1e3);
    std::printf("ours, parse only:     %.3f ms per pass\n", parse_only * 1e3);
    if (exiftool > 0)
        std::printf("exiftool -j:          %.1f ms  ratio exiftool/ours %.0fx (parse only %.0fx)\n",
                    exiftool * 1e3, exiftool / ours, exiftool / parse_only);
    else
        std::printf("exiftool: not installed\n");
    if (exiv2 > 0)
        std::printf("exiv2 -pa:            %.1f ms  ratio exiv2/ours %.0fx\n", exiv2 * 1e3,
                    exiv2 / ours);
    else
        std::printf("exiv2: not installed\n");
    return 0;
}

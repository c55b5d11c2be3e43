// Helpers of the album tests: camera folders of generated photos with EXIF
// segments, the chains run with throwaway signals, and independent checks of
// the results (a JPEG segment walker, djpeg decodes turned and halved by
// plain code here, jpegtran turns).
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/global.h"
#include "support/jpegfixture.h"
#include "support/jpegwalk.h"
#include "support/peers.h"
#include "support/saved_global.h"
#include "support/testenv.h"
#include "tools/exifwriter/exifwriter.h"

namespace albumtest {

// --- building photos ---------------------------------------------------------

// An EXIF APP1 segment (marker and length included), little-endian TIFF:
// the 0th IFD holds the orientation (left out for 0), the 1st IFD points at
// the thumbnail when one is given.
inline std::string exif_segment(int orientation, const std::string& thumbnail) {
    exifwriter::tiff_t tiff;
    if (orientation) tiff.ifd0.add(exifwriter::shorts(0x0112, {uint16_t(orientation)}));
    if (!thumbnail.empty())
        tiff.ifd0.next = std::make_shared<exifwriter::ifd_t>(exifwriter::thumbnail_ifd(thumbnail));
    return exifwriter::app1_segment(exifwriter::exif_payload(exifwriter::write_tiff(tiff)));
}

inline std::string to_string(const std::vector<unsigned char>& v) {
    return std::string(v.begin(), v.end());
}

// A generated JPEG with segments put right after its SOI marker.
inline std::string jpeg(int width, int height, unsigned seed = 1, const std::string& segments = "",
                        int components = 3) {
    jpegfixture::options_t o;
    o.width = width;
    o.height = height;
    o.seed = seed;
    o.components = components;
    std::string bytes = to_string(jpegfixture::make_jpeg(o));
    return bytes.substr(0, 2) + segments + bytes.substr(2);
}

// A photo with an EXIF segment: orientation (0 = no tag) and, when wanted, a
// 32x16 thumbnail of its own (a different picture, so that a mix-up shows).
inline std::string photo(int width, int height, int orientation, bool with_thumbnail,
                         unsigned seed = 1) {
    std::string thumb = with_thumbnail ? jpeg(32, 16, seed + 100) : std::string();
    return jpeg(width, height, seed, exif_segment(orientation, thumb));
}

// --- reading results -----------------------------------------------------------

using jpeg_header_t = jpegwalk::header_t;
using jpegwalk::header_of;
using jpegwalk::header_of_file;
using jpegwalk::segment_t;

// A decoded picture, rows top to bottom.
using pixels_t = peers::pnm_t;
using peers::jpegtran;

// djpeg's decode (P6 or P5); empty unless djpeg was content.
inline pixels_t djpeg(const std::string& path) {
    pixels_t p;
    return peers::djpeg(path, p) == 0 ? p : pixels_t();
}

// Clockwise quarter turns as the picture is seen.
inline pixels_t turn(const pixels_t& s, int count) {
    count &= 3;
    if (count == 0) return s;
    pixels_t d;
    d.channels = s.channels;
    d.width = count == 2 ? s.width : s.height;
    d.height = count == 2 ? s.height : s.width;
    d.px.resize(s.px.size());
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            int dx, dy;
            if (count == 1)
                dx = s.height - 1 - y, dy = x;
            else if (count == 2)
                dx = s.width - 1 - x, dy = s.height - 1 - y;
            else
                dx = y, dy = s.width - 1 - x;
            for (int c = 0; c < s.channels; ++c)
                d.px[(size_t(dy) * d.width + dx) * d.channels + c] = s.at(x, y, c);
        }
    return d;
}

// Half size, rounding down, each value the truncated mean of a 2x2 cell.
// Cells are paired from the bottom row up, as the pictures are stored: an odd
// top row is the one left out.
inline pixels_t halve(const pixels_t& s) {
    pixels_t d;
    d.channels = s.channels;
    d.width = s.width / 2;
    d.height = s.height / 2;
    const int top = s.height % 2;
    d.px.resize(size_t(d.width) * d.height * d.channels);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            for (int c = 0; c < s.channels; ++c) {
                int sy = top + 2 * y;
                d.px[(size_t(y) * d.width + x) * d.channels + c] =
                    (unsigned char)((s.at(2 * x, sy, c) + s.at(2 * x + 1, sy, c) +
                                     s.at(2 * x, sy + 1, c) + s.at(2 * x + 1, sy + 1, c)) /
                                    4);
            }
    return d;
}

// Mean absolute difference of the luma of two pictures (so that chroma
// subsampling by the encoder does not count); a large number when the shapes
// differ.
inline double mean_difference(const pixels_t& a, const pixels_t& b) {
    if (a.width != b.width || a.height != b.height || a.channels != b.channels || a.px.empty())
        return 1e9;
    auto luma = [](const pixels_t& p, size_t i) {
        if (p.channels == 1) return double(p.px[i]);
        const unsigned char* q = &p.px[i * 3];
        return 0.299 * q[0] + 0.587 * q[1] + 0.114 * q[2];
    };
    size_t n = size_t(a.width) * a.height;
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += std::abs(luma(a, i) - luma(b, i));
    return sum / double(n);
}

// Modification time in nanoseconds (0 when missing); lstat when asked.
inline int64_t mtime_ns(const std::string& path, bool link = false) {
    struct stat st;
    if ((link ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st)) != 0) return 0;
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

inline bool is_symlink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

inline std::string link_of(const std::string& path) {
    char buf[4096];
    ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    return n < 0 ? std::string() : std::string(buf, size_t(n));
}

// Sets a file's times to a fixed moment in the past, with nanoseconds.
inline void age(const std::string& path, int64_t seconds_ago = 86400, long ns = 123456789) {
    struct timespec t[2];
    t[0].tv_sec = t[1].tv_sec = time(nullptr) - seconds_ago;
    t[0].tv_nsec = t[1].tv_nsec = ns;
    ::utimensat(AT_FDCWD, path.c_str(), t, AT_SYMLINK_NOFOLLOW);
}

// Every file below dir (relative names) with its bytes: a snapshot to
// compare.
inline std::vector<std::pair<std::string, std::string>> snapshot(const std::string& dir) {
    // (Compare two with differences(): gtest would print every byte.)
    std::string out;
    testenv::run(
        "cd " + testenv::shell_quote(dir) + " && find . -type f -o -type l | LC_ALL=C sort", &out);
    std::vector<std::pair<std::string, std::string>> files;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::string full = dir + "/" + line;
        std::string bytes = is_symlink(full) ? "-> " + link_of(full) : testenv::read_file(full);
        // Pages say when they were made: two runs a second apart write the
        // same page with another time.
        size_t at = bytes.find("\nHTML Generated: ");
        if (at != std::string::npos)
            bytes.replace(at, bytes.find('\n', at + 1) - at, "\nHTML Generated: (time)");
        files.emplace_back(line, bytes);
    }
    return files;
}

using snapshot_t = std::vector<std::pair<std::string, std::string>>;

// The names whose content differs between two snapshots, or that only one
// has, one per line; empty when they are the same.
inline std::string differences(const snapshot_t& a, const snapshot_t& b) {
    std::string out;
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i].first < b[j].first)) {
            out += "only first: " + a[i++].first + "\n";
        } else if (i == a.size() || b[j].first < a[i].first) {
            out += "only second: " + b[j++].first + "\n";
        } else {
            if (a[i].second != b[j].second) out += "differs: " + a[i].first + "\n";
            ++i;
            ++j;
        }
    }
    return out;
}

// --- running the chains ----------------------------------------------------------


struct run_t {
    bool ok = false;
    std::string err;  // the chain's stream
    std::string log;  // what went to standard error
};

inline run_t make_album(const std::string& camera, const std::vector<snapfolio::files_t>& files,
                        const snapfolio::path_t& path) {
    snapfolio::progress_signals_t s;
    std::ostringstream err;
    run_t r;
    r.log = testenv::stderr_of(
        [&] { r.ok = snapfolio::makealbumwithrotate(camera, files, path, s, err); });
    r.err = err.str();
    return r;
}

inline run_t update_album(const std::vector<snapfolio::files_t>& files,
                          const snapfolio::path_t& path) {
    snapfolio::progress_signals_t s;
    std::ostringstream err;
    run_t r;
    r.log = testenv::stderr_of([&] { r.ok = snapfolio::updatealbum(path, files, s, err); });
    r.err = err.str();
    return r;
}

// A scratch camera folder and album root, with the settings' limits put back
// afterwards.
class AlbumTest : public testing::Test {
  protected:
    std::string camera, root;
    snapfolio::path_t album;
    testenv::saved_global_t saved;

    void SetUp() override {
        camera = testenv::scratch_dir("camera");
        root = testenv::scratch_dir("albums");
        album = snapfolio::path_t(root, "", "trip");
        ::mkdir(album.str().c_str(), 0755);  // the dialog's part
    }

    void limit(uint64_t w, uint64_t h) {
        snapfolio::g_global.shrink_width = w;
        snapfolio::g_global.shrink_height = h;
    }
    std::string put(const std::string& name, const std::string& bytes) {
        std::string p = camera + "/" + name;
        EXPECT_TRUE(testenv::write_file(p, bytes));
        age(p);
        return p;
    }
    std::string level(const std::string& dir, const std::string& name) const {
        return album.str(dir, name);
    }
};

}  // namespace albumtest

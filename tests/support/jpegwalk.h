// JPEG streams walked segment by segment, independently of libjpeg and of
// the parsers under test: what a test compares their results with.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace jpegwalk {

struct segment_t {
    unsigned code = 0;    // second byte of the marker
    size_t offset = 0;    // of its 0xFF
    std::string payload;  // without marker and length
};

// APPn or COM: the segments a camera's metadata travels in.
inline bool is_metadata(unsigned code) {
    return (code >= 0xE0 && code <= 0xEF) || code == 0xFE;
}

// The segments from `start` (2: just after SOI; 7 in an Exiv2 sidecar) up to
// and including the first SOS, whose payload is the scan header. Fill bytes
// are skipped; the walk stops at EOI, at a byte that begins no marker, and at
// a length that runs past the end.
std::vector<segment_t> segments(const unsigned char* data, size_t size, size_t start = 2);
std::vector<segment_t> segments(const std::string& bytes, size_t start = 2);
std::vector<segment_t> segments(const std::vector<unsigned char>& bytes, size_t start = 2);

// The segments before the first scan; frame size from the SOFn header.
struct header_t {
    bool ok = false;  // SOI, a frame header and a scan
    int width = 0, height = 0;
    int mcu_width = 8, mcu_height = 8;  // from the largest sampling factors
    std::vector<segment_t> segments;    // SOS not included
    // Whether the picture is whole MCUs both ways: only then does a lossless
    // quarter turn move every block (jpegtran without -trim keeps a partial
    // edge MCU in place, shifting the rest by its width).
    bool whole_mcus() const { return width % mcu_width == 0 && height % mcu_height == 0; }
    int app_count(unsigned code) const;
    int metadata_count() const;  // APPn and COM segments
    const segment_t* find(unsigned code) const;
};

header_t header_of(const std::string& bytes);
header_t header_of_file(const std::string& path);

}  // namespace jpegwalk

// Helpers of the codec tests: libjpeg-turbo's tools as the reference,
// pictures compared row by row, JPEG bytes walked segment by segment.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "libgr/jpeg/jpegdata.h"

namespace jpegtest {

// A binary PNM picture, rows top to bottom.
struct pnm_t {
    int width = 0, height = 0, components = 0;
    std::vector<unsigned char> pixels;
    const unsigned char* row(int y) const { return &pixels[size_t(y) * width * components]; }
};

bool parse_pnm(const std::string& bytes, pnm_t& out);

// Runs `djpeg -pnm` on a file; returns its exit status (0, or 2 after
// warnings) and the picture it wrote (empty when it wrote none).
int djpeg(const std::string& path, pnm_t& out, std::string* messages = nullptr);

// Our picture (bottom-up rows) against a top-down reference: every row of
// pixels equal, and the padding of each row zero.
testing::AssertionResult same_pixels(const libgr::image2d_t& image, const pnm_t& ref);

// A buffer holding these bytes, as if mapped from a file of that name.
void set_bytes(libgr::jpegdata_t& data, const std::vector<unsigned char>& bytes,
               const char* name = nullptr);
std::vector<unsigned char> file_bytes(const std::string& path);
bool write_bytes(const std::string& path, const unsigned char* p, size_t n);

// The segments before the first scan, walked independently of libjpeg.
struct segment_t {
    unsigned char code;                  // second byte of the marker
    size_t offset;                       // of the 0xFF
    std::vector<unsigned char> payload;  // without marker and length
};
std::vector<segment_t> segments(const std::vector<unsigned char>& bytes);

// A short camera-file name usable in a test name.
std::string test_name(const std::string& path);

// Value of a numeric key of an exiftool JSON dump ("File:ImageWidth"); -1
// when absent.
long exiftool_number(const std::string& json, const std::string& key);

}  // namespace jpegtest

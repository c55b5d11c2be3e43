// Helpers of the codec tests: libjpeg-turbo's tools as the reference,
// pictures compared row by row, JPEG bytes walked segment by segment.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "libgr/jpeg/jpegdata.h"
#include "support/jpegwalk.h"
#include "support/peers.h"

namespace jpegtest {

using peers::djpeg;
using peers::parse_pnm;
using peers::pnm_t;

// Our picture (bottom-up rows) against a top-down reference: every row of
// pixels equal, and the padding of each row zero.
testing::AssertionResult same_pixels(const libgr::image2d_t& image, const pnm_t& ref);

// A buffer holding these bytes, as if mapped from a file of that name.
void set_bytes(libgr::jpegdata_t& data, const std::vector<unsigned char>& bytes,
               const char* name = nullptr);
std::vector<unsigned char> file_bytes(const std::string& path);
bool write_bytes(const std::string& path, const unsigned char* p, size_t n);

using jpegwalk::segment_t;
using jpegwalk::segments;

// A short camera-file name usable in a test name.
std::string test_name(const std::string& path);

// Value of a numeric key of an exiftool JSON dump ("File:ImageWidth"); -1
// when absent.
long exiftool_number(const std::string& json, const std::string& key);

}  // namespace jpegtest

// Helpers of the EXIF description tests: EXIF blocks made with the fixture
// writer, described in memory or from a JPEG file written to a scratch
// folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "libgr/jpeg/exif.h"
#include "tools/exifwriter/exifwriter.h"

namespace exifdesctest {

namespace ew = exifwriter;

// A photograph's EXIF data: the 0th IFD's Make, Model and date-less
// defaults, the Exif IFD's entries, and an optional maker note.
struct block_t {
    ew::order_t order = ew::order_t::intel;
    std::string make = "TestCam";
    std::string model = "X1";
    std::vector<ew::entry_t> exif;
    std::optional<ew::makernote_t> note;
};

std::string tiff_of(const block_t& b);

// Parses the block as an APP1 payload held in memory.
bool parse_block(libgr::app1_marker_t& app1, const block_t& b);

// writeexif on the parsed block, on a fresh stream; the parse must succeed.
std::string describe(const block_t& b, bool br = false);

// Line `i` (from 0) of a text, without its line feed; "" past the end.
std::string line(const std::string& text, size_t i);
// The text from line `i` on.
std::string from_line(const std::string& text, size_t i);

// A small generated JPEG with `tiff` as its EXIF APP1 segment (none when
// empty), written to a fresh scratch folder; returns its path.
std::string write_photo(const std::string& tiff, const std::string& name = "photo.jpg");

}  // namespace exifdesctest

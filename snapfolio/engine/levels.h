// The ladder of sizes of every photo: "size0" (full size: a link to the
// original, or the original turned losslessly), "size1" up to "size<L+1>",
// each half the one before, and "thumb" (the camera's EXIF thumbnail, or the
// picture halved L+2 times). L, the shrink level, is how often the full size
// must be halved to fit the shrink limit of the settings.
//
// A photo is turned when the user asked for a turn or its EXIF orientation
// asks for one (6, 3 or 8): its full size is then the original turned by both
// together, and its smaller levels are upright pixels without segments, so
// that nothing turns them a second time. An unturned photo's smaller levels
// carry the original's segments (EXIF included).
//
// Each photo is decoded once per operation; the levels come from halving the
// picture in memory. Every level file is written to a temporary name and
// renamed into place, so a level that exists is complete, and a level found
// as a symbolic link is replaced, never written through.
#pragma once

#include <sigc++/sigc++.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "libgr/jpeg/jpeginfo.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/chainlevels.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// How many halvings (rounded down) bring width x height within the limits.
uint64_t halvings_to_fit(uint64_t width, uint64_t height, uint64_t max_width, uint64_t max_height);

// L of a picture or movie frame: its halvings to the settings' shrink size.
uint64_t shrink_level(uint64_t width, uint64_t height);

// L of a JPEG file from its frame header; 0, with a line on standard error,
// when the file cannot be read.
uint64_t getshrinklevel(const std::string& file);
uint64_t getshrinklevel(const std::string& albumdir, const std::string& name);  // original/
uint64_t getshrinklevel(const path_t& path, const std::string& name);           // original/

// "size0" .. "size<L+1>", "thumb": L+3 names.
std::vector<std::string> levelnames(uint64_t level);

// Encodes the picture with the settings' quality, baseline, the segments
// after libjpeg's JFIF header, and writes it to file.
bool savejpeg(const std::string& file, const libgr::image2d_t& image,
              const std::vector<libgr::jpeginfo_t::marker_t>& markers);

// What became of one photo: levels made (or up to date), left out because
// the photo itself cannot be read (its file and the reason written to err as
// "<original>: left out of the album, <reason>."; the album goes on), or a
// failure that ends the operation (a file that cannot be written).
//
// A photo cannot be read when it is not a JPEG file, has damaged or cut-off
// data, a precision or size libjpeg refuses, or a header claiming more
// pixels than the pixel_limit setting.
enum class photo_t { done, left_out, failed };

// Makes every level of one photo of the album (entry: its name in
// "original" and the turn asked for). A level file that exists and is newer
// than the original is kept, unless the full size changed now. Safe to run
// for different photos on different threads; ticks, when given, is emitted
// between the pieces of the work.
photo_t make_photo_levels(const path_t& path, const files_t& entry, std::ostream& err,
                          tick_signal_t* ticks = nullptr);

// Brings the levels of one photo up to date: with a turn asked for, all are
// made again from its original; otherwise only a photo with a missing level
// file (or a smaller level that is a symbolic link) is made again, from that
// level on.
photo_t update_photo_levels(const path_t& path, const files_t& entry, std::ostream& err,
                            tick_signal_t* ticks = nullptr);

// Removes the temporaries that a run killed while writing left in the
// album's folder (its pages) and its "original", "size…", "thumb",
// "movie…", "html" and "txt" folders.
void remove_stale_temporaries(const path_t& path);

}  // namespace snapfolio

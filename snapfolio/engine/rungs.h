// The encoded rungs of one photo's ladder, written from its decoded full
// size: the one place that halves a picture down the ladder, used both when
// an album is made and when it is brought up to date.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/ladderfiles.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// What to write of one photo's ladder.
struct rungs_t {
    const path_t& path;
    const std::vector<std::string>& names;  // levelnames(level)
    const std::string& name;                // the photo's file name
    uint64_t level;                         // L: rungs 1 .. L+1 are encoded
    uint64_t from;                          // the first rung looked at
    std::vector<bool> write;                // per rung 0 .. L+2: whether to write it
    markers_t markers;                      // the segments every rung carries
};

// picture: the full size; afterwards halved L+2 times, ready for the
// thumbnail. Rung 0 is never encoded (it is the original or its lossless
// turn). ticks, when given, is emitted after each rung written. False, with
// a line on err, when a rung cannot be made or written.
bool write_rungs(ladder_files_t& files, libgr::image2d_t& picture, const rungs_t& r,
                 tick_signal_t* ticks, std::ostream& err);

}  // namespace snapfolio

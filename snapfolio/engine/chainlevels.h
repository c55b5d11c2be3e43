// The size-level stage of the album chains: every photo's ladder and every
// movie's conversions, in the album's order as the user sees it (progress,
// diagnostics), with the photos' work spread over the workers of the jobs
// setting. An album made with one worker and with several is the same to
// the byte.
#pragma once

#include <sigc++/sigc++.h>

#include <iostream>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// Makes every level of every photo and movie of files (diagnostics on err);
// other files are passed over. Emits i / n once the first i entries are
// done; ticks, when given, in between.
//
// A photo that cannot be decoded is left out (see photo_t) and the others
// go on. With left_out given the count goes there and the result stays
// true; without it the result is false once all are done. A file that
// cannot be written ends the operation with false: no further photo is
// started, those under way are completed.
bool shrink(const path_t& path, const std::vector<files_t>& files,
            sigc::signal<void, double>& progress, std::ostream& err,
            size_t* left_out = nullptr, tick_signal_t* ticks = nullptr);

// Brings the levels of files up to date (see update_photo_levels); photos
// that cannot be decoded are left out as in shrink.
bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& err = std::cerr,
                  size_t* left_out = nullptr, tick_signal_t* ticks = nullptr);

}  // namespace snapfolio

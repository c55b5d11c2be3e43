// The two album chains: making an album from camera files, and bringing an
// existing album up to date. Each step has its own progress signal; the
// first step that fails ends the chain with a line on err. A photo that
// cannot be decoded does not end it: it is named on err and left out, the
// rest of the album and its pages are made, and the chain then fails with
// "<album>: N photo(s) left out." so that callers notice.
#pragma once

#include <sigc++/sigc++.h>

#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// Imports files from srcdir into the album at path, makes every size level,
// then the pages.
bool makealbumwithrotate(const std::string& srcdir, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copy_progress,
                         sigc::signal<void, double>& shrink_progress,
                         sigc::signal<void, double>& html_progress,
                         sigc::signal<void, double>& zoom_progress, std::ostream& err);

// files: the album's originals with the turns asked for now. Remakes the
// stale levels (copy_progress is not used), then the pages.
bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 sigc::signal<void, double>& copy_progress,
                 sigc::signal<void, double>& shrink_progress,
                 sigc::signal<void, double>& html_progress,
                 sigc::signal<void, double>& zoom_progress, std::ostream& err);

// The same chains with the stages of one progress record; its tick is
// emitted while one photo is worked on.
bool makealbumwithrotate(const std::string& srcdir, const std::vector<files_t>& files,
                         const path_t& path, progress_signals_t& progress, std::ostream& err);
bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 progress_signals_t& progress, std::ostream& err);

}  // namespace snapfolio

// Album and book folders named on the command line, turned into the engine's
// path_t the way the dialogs name them: an empty root, the folder above as
// dir and the folder's own name as name, from its absolute path.
#pragma once

#include <ostream>
#include <string>

#include "snapfolio/cli/progress.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/bookbatch.h"

namespace snapfolio {

// False, with one line on err, when arg is not a folder or is "/" (which
// has no name).
bool folder_path(path_t& path, const std::string& arg, std::ostream& err);

// Shows the album stages of a batch on the printer, each directory the walk
// reaches as a line of its own on out, and (with `best`) the best-of pages.
void connect_batch(progress_printer_t& printer, progress_signals_t& signals, std::ostream& out,
                   bool best);

}  // namespace snapfolio

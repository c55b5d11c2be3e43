// Regenerating a whole tree of books and albums: every album brought up to
// date from its originals (levels only where stale, pages in full), every
// best-of collection and every book page rewritten, children before
// parents. The book dialog runs it with its progress window; snapfolio-cli
// runs it with its progress printer.
#pragma once

#include <ostream>
#include <string>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// updatealbum on every file of the album's "original/", each with no turn:
// levels that exist are kept, missing ones are made, the pages are
// rewritten. False, with one line on err, when it fails.
bool updatealbumoriginals(const path_t& path, progress_signals_t& progress, std::ostream& err);

// Regenerates what path names:
//   "_Best", "_BestBook"     that collection of the book path.dir
//   an album ("original/")   updatealbumoriginals
//   "txt", other "_" names   nothing
//   a book                   batchupdate of each subdirectory (the
//                            collections after the albums and books they
//                            show), then the book's page
// An empty name does nothing. A failure is reported on err and the walk
// goes on; the result is false when anything below path failed.
bool batchupdate(const path_t& path, progress_signals_t& progress, std::ostream& err);

}  // namespace snapfolio

// A book's own page, "index.html" in the book directory: its title and
// texts and one table row per subdirectory that has a title (albums, nested
// books and the best-of collections), newest first, with the album's counts
// and links to its compact and detailed pages. Secret albums are left out.
#pragma once

#include <ostream>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// Writes path.make() + "/index.html". False, with one line on err, when the
// book cannot be listed or the page cannot be written.
bool makehtmlbook(const path_t& path, std::ostream& err);

// After an album was made in book (a directory): the book's page, then the
// page of every book above it up to and including the album root, so that
// no "UP" link of a new book leads to a page that does not exist. A book
// outside the album root gets only its own page. False, with one line on
// err, at the first page that cannot be written.
bool makehtmlbooks_above(const std::string& book, const std::string& root, std::ostream& err);

}  // namespace snapfolio

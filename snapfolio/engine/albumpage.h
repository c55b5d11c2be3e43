// An album's published pages, written in full each time the album is made
// or updated:
//   index.html          one entry per movie and photo: size links, the
//                       picture, comment and shooting data
//   list.html           the compact page: one linked thumbnail per entry
//   html/<base>_<k>.html  zoom page k of a photo (k = 1 .. L): level k,
//                       linked to the next larger size
//   txt/count.txt       "<movies>+<photos>", shown on the book page
// Every link is relative, so the album directory can be copied to a web
// server as it is. Movie zoom pages are moviepage.h's.
#pragma once

#include <sigc++/sigc++.h>

#include <ostream>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/albumentry.h"

namespace snapfolio {

// index.html, list.html and txt/count.txt; emits i / P after the i-th of
// the P photos. False, with one line on err, when a page cannot be written
// or an entry's size links cannot be made.
bool makehtml(const path_t& path, sigc::signal<void, double>& progress, std::ostream& err);

// The photo zoom pages; emits i / n after the i-th of the n photos. False,
// with one line on standard error, when a page cannot be written.
bool makehtmlzoom(const path_t& path, sigc::signal<void, double>& progress);

}  // namespace snapfolio

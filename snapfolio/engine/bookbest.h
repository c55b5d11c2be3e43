// A book's two best-of collections, directories beside its albums:
//   "_Best"      the photos and movies marked good in the book's own albums
//   "_BestBook"  those marked best in every album below the book, at any
//                depth, secret albums left out
// Each has an "index.html", a "list.html" and "txt/count.txt" like an
// album's, whose entries point into the albums' own files and zoom pages
// ("../<album>/..."): nothing is copied. A collection without a title gets
// the book's name and "Best pictures" (message 5), saved in its head.txt.
#pragma once

#include <sigc++/sigc++.h>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// The collections of the book whose directory is path.dir (root and name
// are not used). Emit i / n after the i-th of n source albums on
// index_progress while the detailed page is written and on list_progress
// for the compact page. False, with one line on standard error, when the
// book cannot be listed or a page cannot be written.
bool makebesthtml(const path_t& path, sigc::signal<void, double>& index_progress,
                  sigc::signal<void, double>& list_progress);
bool makebestbookhtml(const path_t& path, sigc::signal<void, double>& index_progress,
                      sigc::signal<void, double>& list_progress);

}  // namespace snapfolio

// The movies' part of the album pages: the size-link lines of a movie entry
// on the index page, and the movie zoom pages in "html/":
//   <base>_1_<k>.html  (k = 1 .. M)      level k at its own size
//   <base>_2_<k>.html  (k = 0 .. M-1)    level k at half its size, for
//                                        double-density screens
// where base is the movie's name without extension and M its movie level.
#pragma once

#include <sigc++/sigc++.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// pages1[k-1] = base_1_k.html for k = 1 .. M; pages2[k] = base_2_k.html for
// k = 0 .. M-1 (names inside "html/").
void movie_zoompages(const std::string& name, uint64_t level, std::vector<std::string>& pages1,
                     std::vector<std::string>& pages2);

// A movie's size-link lines: the imported file, then each level below M with
// its plain and its double-density zoom page. Link targets are prefixed with
// prefix. Fills info with the movie's duration. False, with one line on
// standard error, when a file cannot be examined.
bool writefflink(std::ostream& out, const path_t& path, const std::string& prefix,
                 const std::vector<std::string>& names, const std::vector<std::string>& pages1,
                 const std::vector<std::string>& pages2, const std::string& name,
                 std::string& info);

// Writes the zoom pages of every movie of the album; emits i / n for the
// i-th of the n files of "original/" that is a movie.
bool makehtmlffzoom(const path_t& path, sigc::signal<void, double>& progress);

}  // namespace snapfolio

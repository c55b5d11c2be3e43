// One photo or movie as the album pages show it: its entry on the detailed
// page ("index.html": name and marks, size links, the picture, comment and
// shooting data) and its line on the compact page ("list.html": a linked
// thumbnail). The album's own pages and the best-of collections of a book
// (which point into the albums' files from a directory beside them) share
// these writers; entry_style_t says which of the two is being written.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {

struct entry_style_t {
    // Put before every path of the entry: "" on the album's own pages,
    // "../<album directory relative to the book>/" on a collection's.
    std::string prefix;
    // A collection page: marks without the fail text, the frame and border
    // for pictures with any of the five marks (the album pages frame good
    // ones), and no paragraph line after a photo's shooting data.
    bool collection = false;
};

// Zoom pages of a photo with shrink level L, names inside "html/":
// pages[k-1] = <base>_<k>.html for k = 1 .. L, where base is the name
// without its extension. Page k shows level k, with level k-1 for
// double-density screens.
std::vector<std::string> photo_zoompages(const std::string& name, uint64_t level);

// A photo's size-link lines: the full size, then zoom pages 1 .. L-1, each
// with its size in pixels and KiB. Targets are prefixed with prefix. False,
// with one line on err, when a level file cannot be examined.
bool writelink(std::ostream& out, const path_t& path, const std::string& prefix,
               const std::vector<std::string>& names, const std::vector<std::string>& zoompages,
               const std::string& name, std::ostream& err);

// The entries of the detailed page. album holds the album's path and marks.
// A movie counts its duration from ffmpeg's report. False when a size link
// could not be written (its line is on err or standard error).
bool write_movie_entry(std::ostream& out, const album_t& album, const std::string& name,
                       const entry_style_t& style);
bool write_photo_entry(std::ostream& out, const album_t& album, const std::string& name,
                       const entry_style_t& style, std::ostream& err);

// The lines of the compact page.
void write_movie_line(std::ostream& out, const album_t& album, const std::string& name,
                      const entry_style_t& style);
void write_photo_line(std::ostream& out, const album_t& album, const std::string& name,
                      const entry_style_t& style);

// Where the compact page links a movie of movie level M whose full size
// must be halved k times to fit the play size: a page or file that the
// movie chain writes ("movie0/<mp4>" or one of its zoom pages in "html/").
std::string movie_play_target(const std::string& name, uint64_t level, uint64_t halvings,
                              bool retina);

// How often width and height must be halved together to fit the play size
// of the settings.
uint64_t play_halvings(uint64_t width, uint64_t height);

// "<count of movies>+<count of photos>": the movie count only when there
// are movies.
std::string count_line(size_t movies, size_t photos);

// The count line back from dir's "txt/count.txt" (its first line without
// trailing white space); "" when there is none.
std::string read_count(const std::string& dir);

}  // namespace snapfolio

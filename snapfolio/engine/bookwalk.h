// Finding the albums of a book. A book is a directory whose subdirectories
// are albums (they have "original/") or further books; "txt" holds the
// book's own texts, and names beginning with "_" are collections or private
// directories, never albums of the book. A secret album ("secret.txt" in
// its "txt") stays off the book page and out of the book-wide best-of.
#pragma once

#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// Whether dir is an album: it has an "original" folder.
bool is_album_dir(const std::string& dir);

// Whether dir/txt/secret.txt exists.
bool is_secret(const std::string& dir);

// The subdirectories of bookdir that may hold albums, newest first when
// named by date (descending byte order): without "txt", without names
// beginning with "_", and with `without_secret` without secret albums.
// False when bookdir cannot be listed.
bool book_entries(std::vector<std::string>& dirs, const std::string& bookdir, bool without_secret);

// Appends, loaded, every album found below parent in the subdirectories
// named in dirs, depth first in the order given (each level searched in
// descending byte order); an album's own subdirectories are not searched,
// and secret albums below the first level are passed over. Each album's
// path has parent's root, so its dir and name (path_t::submake) say where
// it lies below that root.
void hierar_albums(const path_t& parent, const std::vector<std::string>& dirs,
                   std::vector<album_t>& albums);

}  // namespace snapfolio

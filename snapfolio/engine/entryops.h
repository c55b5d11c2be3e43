// Renaming, moving and removing the entries (albums and books) of a book,
// with system calls on the names as they are: a name holding quotes, "$" or
// backquotes is just a name. Neither may leave the book: a new name is a
// path inside it, and a removal never follows a symbolic link.
#pragma once

#include <ostream>
#include <string>

namespace snapfolio {

// Whether name is a path inside a book: not empty, not absolute, and no
// piece of it empty, "." or "..". "2024/trip" is one (the book 2024).
bool valid_entry_name(const std::string& name);

// Makes each missing book of the relative path `dirs` below book_dir, with
// its texts (titled with its name) so that the book is listed. False, with
// one line on err, when one cannot be made or is not a directory.
bool make_books(const std::string& book_dir, const std::string& dirs, std::ostream& err);

// Renames book_dir/from to book_dir/to; a directory part of `to` is a book
// inside book_dir, made (with its texts, titled with its name) when missing.
// An existing `to` is never replaced or entered. False, with one line on
// err, when it cannot be done.
bool rename_entry(const std::string& book_dir, const std::string& from, const std::string& to,
                  std::ostream& err);

// Removes path and everything below it, walking the tree itself: a symbolic
// link anywhere (path itself included) is removed as a link, never what it
// points to. False, with one line on err per failure, when anything stays.
bool remove_tree(const std::string& path, std::ostream& err);

// Creates the empty "txt/secret.txt" of the album or book at path, or
// deletes it; false, with one line on err, when that fails.
bool set_secret(const std::string& path, bool secret, std::ostream& err);

}  // namespace snapfolio

// Bringing the chosen camera files into an album, and the full-size level of
// an unturned photo as a link to its imported original. Camera files are only
// ever read; every file written here appears under its name complete or not
// at all (a temporary file in the same folder is renamed into place).
#pragma once

#include <sigc++/sigc++.h>

#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// Copies srcdir/name of every entry into the album: photos and movies to
// "original/", any other file to "txt/"; an existing target is replaced and
// the copy keeps the source's modification time. Emits i / n after the i-th
// file. At the first failure writes the target and ": file copy fail." to err
// (standard error in the first form) and returns false; files already copied
// stay (with several workers, so may the few copied meanwhile after it).
// The copies run on the chains' workers.
bool copyfiles(const std::string& srcdir, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress);
bool copyfiles(const std::string& srcdir, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress, std::ostream& err);

// Makes target hold source: a symbolic link whose content is link_text, else
// a hard link, else a copy. Each way that fails leaves its line on standard
// error, even when a later way works.
bool copyjpeg(const std::string& source, const std::string& target, const std::string& link_text);

// Replace whatever is at `link` (a dangling link included) by a symbolic link
// holding target_of_link, or by a hard link to `existing`.
bool symlinkone(const std::string& target_of_link, const std::string& link);
bool hardlinkone(const std::string& existing, const std::string& link);

// Copies src to dst through a temporary file beside dst that is renamed over
// it; dst gets src's access and modification times to the nanosecond. False,
// with dst untouched, when any step fails (the copy's own lines are on
// standard error).
bool copyfile_replacing(const std::string& src, const std::string& dst);

// Creates one directory; an existing one is fine. Otherwise writes the path,
// ": mkdir error, " and the system's text to err and returns false.
bool make_directory(const std::string& dir, std::ostream& err);

// The link calls the import code makes. Tests put failing versions here to
// act out file systems without symbolic or hard links; nothing else changes
// them.
struct link_calls_t {
    int (*symlink)(const char* target, const char* linkpath);
    int (*link)(const char* existing, const char* linkpath);
};
link_calls_t& link_calls();

}  // namespace snapfolio

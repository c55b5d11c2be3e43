// Pieces every generated page shares: the head, the foot with the time it was
// made, an entry's list of marks, and link targets that stay valid whatever
// characters a file or directory name holds.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "libutils/atomicfile.h"
#include "snapfolio/engine/album.h"

namespace snapfolio {

// "<HTML>", "<HEAD>", the html_header setting when set, "<title>" when a
// title is given, "</HEAD>", an empty line, "<BODY>".
void write_head(std::ostream& out, const std::string* title);

// "<hr>", the html_address setting when set, the generation time in the
// locale's format with the zone name, "</BODY>", "</HTML>".
void write_foot(std::ostream& out);

// " (best, apply, ...)" for the marks an entry carries among best, apply,
// submit, print and upload; with `fail_text`, an entry with none of them but
// marked fail gets " (fail)". Nothing when none applies.
void write_marks(std::ostream& out, const album_t& album, const std::string& name, bool fail_text);
bool has_marks(const album_t& album, const std::string& name);

// Text from a file, a camera or a folder name, made safe for any text
// position of a page (element text and double-quoted attribute values): "&",
// "<", ">" and '"' become character references; every other byte stays, so
// plain text comes out as it was. The owner's own titles, comments and the
// page settings are markup and are written as they stand.
std::string html_text(const std::string& text);

// A relative link target for href, src and srcset: bytes other than letters,
// digits, ".", "_", "-", "~" and "/" are percent-encoded, so names with
// blanks, "#", "?", "%", commas, quotes or non-ASCII bytes still reach their
// files. Plain names come out unchanged.
std::string url(const std::string& target);

// Pages are written to a temporary file beside their name and renamed into
// place when complete, so a browser or a failed run never sees half a page.
// open_page: false, with file, open_error and (with `with_errno`) the
// system's error text as one line on err, when it cannot be created.
bool open_page(libutils::atomic_ofstream& out, const std::string& file, std::ostream& err,
               const char* open_error, bool with_errno);
// Puts the page in place; false, with its name, ": write error, " and the
// system's error text on err, when that fails (the old page stays).
bool commit_page(libutils::atomic_ofstream& out, std::ostream& err);

// A small text file (count.txt) replaced whole; failures as in open_page
// and commit_page.
bool write_text_file(const std::string& file, const std::string& text, std::ostream& err,
                     const char* open_error);

// Lines of a head or last text: split at line feeds, each without its
// trailing CR and LF.
std::vector<std::string> text_lines(const std::string& text);

}  // namespace snapfolio

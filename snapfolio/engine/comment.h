// Titles and comments of albums, books and pictures, kept as small text files
// in the "txt/" directory (CR LF line ends, the locale's encoding), and their
// printing into pages.
//
//   head.txt   line 1 the title, line 2 the title again, then the text shown
//              above the pictures (HEAD.TXT is read when it is missing)
//   last.txt   the text shown below the pictures (or LAST.TXT)
//   <base>.txt a picture's comment, base = its name without extension (or
//              <base>.TXT)
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// Reads the title, head and last texts from txtdir; each text whose file is
// missing is left unchanged. Differing title lines are reported on standard
// error.
void loadcomment(const std::string& txtdir, std::string& title, std::string& head,
                 std::string& last);

// loadcomment for path's "txt" directory; false (with one line on standard
// error) when that directory does not exist.
bool loadcommenttxt(const path_t& path, std::string& title, std::string& head, std::string& last);

// Writes head.txt and last.txt in path's "txt" directory (made when missing).
// Failures go to err, one line each.
bool savecommenttxt(const path_t& path, const std::string& title, const std::string& head,
                    const std::string& last, std::ostream& err);

// A picture's comment, byte for byte; false, silently, when it has none.
bool loadphotocomment(std::string& text, const path_t& path, const std::string& name);
// The same, split at line feeds and appended to lines.
bool loadphotocommentlines(std::vector<std::string>& lines, const path_t& path,
                           const std::string& name);

// Writes the comment of `name` in albumdir/txt/ with CR LF line ends; an
// empty text removes the file.
bool savephotocomment(const std::string& text, const std::string& albumdir,
                      const std::string& name);
// The same with its diagnostics on err.
bool savephotocomment(const std::string& text, const std::string& albumdir,
                      const std::string& name, std::ostream& err);

// Prints lines as HTML: "<br>" before a line that follows a line, "<p>"
// for an empty line, the line after it continuing the "<p>".
void writephotocomment(std::ostream& out, const std::vector<std::string>& lines, int indent);

}  // namespace snapfolio

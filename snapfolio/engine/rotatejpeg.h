// Lossless quarter turns of JPEG files in an album. Every turned file is
// written to a temporary name and renamed into place, so a full-size level
// that is a link into "original/" is replaced by a real file and the imported
// original is never touched.
#pragma once

#include <string>

#include "libgr/jpeg/jpegdata.h"

namespace snapfolio {

// Turns `source` by quarter_turns clockwise (0 to 3) into `destination`;
// the two may be the same file. The output keeps no APPn or COM segment.
bool rotatejpeg(const std::string& source, const std::string& destination,
                unsigned long quarter_turns);

// Turns every stored size of one photo in place: "size0" up to "size<L+1>"
// (L = its shrink level) and "thumb". Stops at the first file that cannot be
// turned, writing its path and ": rotate jpeg fail." to standard error.
bool rotateallsize(const std::string& albumdir, const std::string& name,
                   unsigned long quarter_turns);

// rotatejpeg on a file already in memory: turns `source` into `turned` and
// writes it to destination, unless destination already holds exactly these
// bytes (then *written is false and nothing is touched).
bool turnjpeg(const libgr::jpegdata_t& source, unsigned long quarter_turns,
              const std::string& destination, libgr::jpegdata_t& turned, bool* written);

// Whether the regular file at path (not a link) holds exactly these bytes.
bool file_holds(const std::string& path, const libutils::bytevector& bytes);

}  // namespace snapfolio

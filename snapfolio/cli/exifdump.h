// Every field the EXIF parser decoded, as "group.name: value" lines:
// the 0th IFD, the Exif IFD, the thumbnail's place and the maker-note
// fields. Absent fields are left out.
#pragma once

#include <ostream>

#include "libgr/jpeg/exif.h"

namespace snapfolio {

void dump_exif(std::ostream& out, const libgr::tiff_header_t& t);

}  // namespace snapfolio

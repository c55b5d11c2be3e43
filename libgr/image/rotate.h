// Quarter turns of decoded pictures.
#pragma once

#include "libgr/image/image.h"

namespace libgr {

// Turns src by `count` quarter turns to the right as the picture is seen
// (rows bottom-up). 0 shares the source; more than 3 is refused. Layouts
// under 8 bits per pixel are allocated but not filled.
bool rotate(int count, image2d_t& dst, const image2d_t& src);

// Adds the turn that an EXIF orientation asks for (6: right, 3: half,
// 8: left; others none) to a count of right quarter turns.
int mixorientandrightrotatecount(int count, int orientation);

}  // namespace libgr

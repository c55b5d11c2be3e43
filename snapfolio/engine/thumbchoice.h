// The thumbnail of a photo: the camera's EXIF thumbnail, turned like the
// photo, when it can be trusted to show the same picture the same way up;
// else the picture itself, halved down to the thumbnail's rung.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "libgr/image/image.h"
#include "libgr/jpeg/jpegdata.h"
#include "snapfolio/engine/ladderfiles.h"

namespace snapfolio {

// exif_thumbnail: the camera's thumbnail, empty when none. turn: the quarter
// turns of the photo's full size, -1 when not known. picture: the photo
// halved L+2 times, used when there is no thumbnail, the turn is not known
// or the thumbnail does not turn cleanly.
bool write_thumbnail(ladder_files_t& files, const std::string& out,
                     const libutils::bytevector& exif_thumbnail, int turn,
                     const libgr::image2d_t& picture, std::ostream& err);

// The turn an existing full size (size0) was made with, as far as the
// camera's thumbnail needs it: the album makes the full size turned by the
// EXIF orientation (turn); a full size holding other bytes was turned some
// other way, not kept anywhere (-1).
int full_size_turn(const libgr::jpegdata_t& original, uint64_t turn, const std::string& size0);

}  // namespace snapfolio

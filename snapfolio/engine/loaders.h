// Pictures for the dialogs: album level files, camera files and their EXIF
// thumbnails, decoded into pictures (rows bottom-up). Failures are one line
// on standard error; a file that is not a .jpg/.jpeg is refused silently.
#pragma once

#include <string>

#include "libgr/image/image.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/filestat.h"  // is_exist, used beside the loaders

namespace snapfolio {

// Decodes the whole file and turns it as its EXIF orientation asks.
bool load_jpeg(libgr::image2d_t& image, const std::string& file);

// The EXIF thumbnail, turned as the orientation asks; without one the whole
// picture, halved until it fits a quarter of the shrink limit, unturned.
bool load_thumbnail(libgr::image2d_t& image, const std::string& file);

// "thumb/" when it is there, else a thumbnail of "size0/", else of the
// original.
bool load_exifthumbnail_or_thumbdir(libgr::image2d_t& image, const path_t& path,
                                    const std::string& name);

// load_jpeg of path/level_name/name.
bool load_size_jpeg(libgr::image2d_t& image, const path_t& path, const std::string& level_name,
                    const std::string& name);

// The level that suits a button on a screen of the given device scale:
// show_level levels up from the thumbnail, one more on double-density
// screens, the full size when the photo has fewer levels. Grey becomes RGB.
bool load_scaled_thumbnail(libgr::image2d_t& image, const path_t& path, const std::string& name,
                           int scale);

// The still of a movie's level picked as for photos (show_level and the
// screen's scale); a pick below the smallest level takes the smallest. Also
// gives the movie's duration. No fallback: false when the still is missing.
bool load_scaled_ffthumbnail(libgr::image2d_t& image, const path_t& path, const std::string& name,
                             int scale, std::string& info);

}  // namespace snapfolio

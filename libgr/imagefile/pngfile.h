// PNG files through libpng. Pictures keep the samples as libpng delivers them
// without transformations: sub-byte pixels packed, 16-bit samples in PNG
// (big-endian) byte order, which the picture's store marks as swapped for
// OpenGL. Colour types map to GRAYSCALE (0), RGB (2), INDEX (3, with a palette
// of the PLTE entries padded with black to a power of two), GRAYSCALE_ALPHA
// (4) and RGBA (6). Interlaced files are read whole.
//
// Return codes of loadpng and savepng: 0 success, -1 not a PNG file (load)
// or the file cannot be created (save), -2/-3 libpng's structures cannot be
// made, -4 a libpng error or a chunk longer than the file (reported as the
// path, ": png: ", the text and ", FAIL") or no memory for the pixels, -5 a picture layout PNG cannot hold
// (save; nothing written). Messages go to the standard error stream.
#pragma once

#include <ostream>

#include "libgr/image/image.h"
#include "libgr/imagefile/imageobject.h"

namespace libgr {

// The libpng in use must be the version whose headers the program was built
// with; otherwise "libpng version different." with the two versions, and
// PNG files are refused.
bool check_png_version();
// Whether the file starts with the PNG signature; an unopenable file gives
// path + ": file open error, " + the system's text on `err`.
bool check_if_png(const char* path, std::ostream& err);

int loadpng(const char* path, image2d_t& image);
int savepng(const char* path, const image2d_t& image, const char* title);

bool loader_png(image2d_t& image, const char* path);
bool saver_png(const image2d_t& image, const char* path);

class image_png_t : public image_object_t {
  public:
    bool load(image2d_t& image, const char* path) override;
    bool save(const image2d_t& image, const char* path) override;
};

}  // namespace libgr

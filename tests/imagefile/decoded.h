// Decoded pictures in one comparable form: 16-bit RGBA samples, big-endian,
// rows top to bottom, as ImageMagick prints them with "-depth 16 rgba:-".
#pragma once

#include <string>

#include "libgr/image/image.h"

namespace decoded {

// The picture's pixels expanded through its format (palette, grey, BGR,
// packed 5-bit channels); empty for layouts this does not know.
std::string rgba16(const libgr::image2d_t& image);
// ImageMagick's reading of a file, or empty when convert fails.
std::string magick_rgba16(const std::string& path);
// ffmpeg's reading of a file (used for TGA: ImageMagick 6.9 reads and
// writes bottom-left TGA rows in top-left order), or empty.
// ffmpeg widens to 16 bits by shifting, so it is asked for 8-bit RGBA.
std::string ffmpeg_rgba8(const std::string& path);
// The high byte of every 16-bit sample.
std::string to8(const std::string& rgba16);
// Runs ImageMagick's convert with the arguments (quoted by the caller).
bool magick(const std::string& args);

}  // namespace decoded

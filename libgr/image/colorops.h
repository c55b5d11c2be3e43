// Whole-picture colour operations on 8-bit RGB, BGR, RGBA and BGRA pictures.
// Destination first, source second; the source is never changed, and dst may
// be the source itself. Channel order follows the layout, so a colour given
// as (r, g, b) lands on the right bytes of a BGR picture too; alpha is kept.
#pragma once

#include "libgr/image/color.h"
#include "libgr/image/image.h"

namespace libgr {

// dst = src with every pixel set to `c`.
bool fillcolor(image2d_t& dst, const image2d_t& src, const color3ub_t& c);
// dst = src with `c` added to every pixel, each channel clamped to 0..255.
bool addcolor(image2d_t& dst, const image2d_t& src, const color3b_t& c);
// dst = the luminance of src as 8-bit grey (see monochrome(color3ub_t));
// a grey picture is shared.
bool monochrome(image2d_t& dst, const image2d_t& src);

}  // namespace libgr

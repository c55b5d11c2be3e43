// Mipmap levels made on the CPU. Under a software GL (Mesa's llvmpipe, the
// usual driver under Xvfb) glGenerateMipmap renders every level through the
// rasteriser's threads: for a 24-megapixel picture that costs several times
// the upload itself and leaves large scratch buffers behind. Halving here is
// one pass over the pixels.
#pragma once

#include "libgr/image/image.h"

namespace libgr {

// Whether mipmap_halve takes the picture: uncompressed, unsigned 8-bit
// components, one to four per pixel.
bool mipmap_halvable(const image2d_t& src);

// dst = the next smaller level of src: ceil(width / 2) x ceil(height / 2),
// each byte the rounded mean of its 2 x 2 cell; an odd last column or row
// is averaged with itself, so a tile's edge keeps its colour at every level
// rather than fading into the unused part of its texture. False when src is
// not halvable or dst cannot be allocated.
bool mipmap_halve(image2d_t& dst, const image2d_t& src);

}  // namespace libgr

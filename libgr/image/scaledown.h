// Halving in size: the album engine's way of making reduced copies.
#pragma once

#include "libgr/image/image.h"

namespace libgr {

// dst = src at half width and height (an odd last column or row is dropped);
// every byte channel, alpha included, is the truncated mean of a 2x2 cell.
// Grey (1 byte), RGB/BGR (3 bytes) and RGBA/BGRA (4 bytes) pixels.
bool scaledown(image2d_t& dst, const image2d_t& src);

}  // namespace libgr

// Halving in size: the album engine's way of making reduced copies.
#pragma once

#include "libgr/image/image.h"

namespace libgr {

// dst = src at half width and height (an odd last column or row is dropped);
// every byte channel, alpha included, is the truncated mean of a 2x2 cell.
// Grey (1 byte), RGB/BGR (3 bytes) and RGBA/BGRA (4 bytes) pixels.
bool scaledown(image2d_t& dst, const image2d_t& src);

// What scaledown does for each row, for callers that halve rows as they
// come: `width` pixels of the half from two rows of the source, for pixels
// of 1, 3 or 4 bytes (nullptr for any other size).
using halve_row_t = void (*)(unsigned char* out, const unsigned char* r0, const unsigned char* r1,
                             uint32_t width);
halve_row_t row_halver(unsigned bytes_per_pixel);

}  // namespace libgr

// Halving of raw sensor pictures: a Bayer mosaic stored as 8-bit grey, one
// colour site per byte, becomes an 8-bit RGB picture of half the width and
// height. The name gives the sites of a 2x2 cell in stored order: the first
// two letters are row 2y (columns 2x and 2x+1), the last two row 2y+1. Red
// and blue come from their site, green is the truncated mean of the two
// green sites. An odd last column or row is dropped.
#pragma once

#include "libgr/image/image.h"

namespace libgr {

bool scaledownGRBG(image2d_t& dst, const image2d_t& src);
bool scaledownGBRG(image2d_t& dst, const image2d_t& src);
bool scaledownRGGB(image2d_t& dst, const image2d_t& src);
bool scaledownBGGR(image2d_t& dst, const image2d_t& src);

}  // namespace libgr

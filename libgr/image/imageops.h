// Pixel layout conversions, copies and flips. Destination first, source
// second; the source is never changed, and dst may be the source itself.
// "Shares" below means dst becomes a copy of the source handle (same pixels).
#pragma once

#include "libgr/image/image.h"

namespace libgr {

// Row i of dst is source row height-1-i; rows are padded with zero bytes.
bool flip(image2d_t& dst, const image2d_t& src);
// A packed copy of the visible area (window cleared), padded with zero bytes.
bool copy(image2d_t& dst, const image2d_t& src);

// Exchange the first and third byte of 8-bit BGR(A)/RGB(A) pixels; other
// layouts are shared unchanged.
bool bgr2rgb(image2d_t& dst, const image2d_t& src);
bool rgb2bgr(image2d_t& dst, const image2d_t& src);
// RGB to RGBA with opaque alpha; RGBA is shared; anything else is shared and
// refused.
bool rgb2rgba(image2d_t& dst, const image2d_t& src);
// RGBA to RGB, dropping alpha; anything else is shared.
bool rgba2rgb(image2d_t& dst, const image2d_t& src);
// 1-, 4- or 8-bit grey to 8-bit RGB; other formats are shared.
bool grayscale2rgb(image2d_t& dst, const image2d_t& src);
// 1-, 4- or 8-bit palette indexes to 8-bit RGB (indexes past the palette
// give black); other formats are shared.
bool index2rgb(image2d_t& dst, const image2d_t& src);
// 1-bit grey to RGB through the first two palette colours (black and white
// without a palette).
bool grayscale(image2d_t& dst, const image2d_t& src);

namespace imageops_detail {
// The converters' own pixel store: not swapped, rows aligned to 4 bytes.
extern image_store_t s_store_rgb2bgr;
extern image_store_t s_store_rgb2rgba;
// Makes dst a new picture of that description and size (pixels not yet set).
bool make_image(image2d_t& dst, const image_desc_t& desc, image_store_t* store, uint32_t width,
                uint32_t height);
// Whether the picture's buffer holds every row its geometry describes.
bool has_pixels(const image2d_t& image);
}  // namespace imageops_detail

}  // namespace libgr

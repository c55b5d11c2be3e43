// The picture type of both programs: a shared byte buffer described by an
// image_desc_t plus OpenGL's pixel-store parameters, so that a sub-rectangle
// can be described without copying and handed to OpenGL unchanged. Rows are
// stored bottom-up (row 0 is the bottom row), as OpenGL takes them.
#pragma once

#include <cstdint>

#include "libgr/image/imagedesc.h"
#include "libutils/refvector.h"

namespace libgr {

// Pixel-store settings shared by many pictures (referenced, not owned).
struct image_store_t {
    bool swap_bytes = false;
    uint32_t alignment = 4;  // bytes; 0 means the default 4
};

// OpenGL's unpack parameters; a row_length of 0 means the image's width.
struct image_window1d_t {
    uint32_t skip_pixels = 0;
};

struct image_window2d_t {
    uint32_t row_length = 0;
    uint32_t skip_pixels = 0;
    uint32_t skip_rows = 0;
};

struct image_window3d_t {
    uint32_t row_length = 0;
    uint32_t image_height = 0;
    uint32_t skip_pixels = 0;
    uint32_t skip_rows = 0;
    uint32_t skip_images = 0;
};

// A 16-bit colour table, one vector per channel; copies share the entries.
struct palette_t {
    uint64_t entries = 0;
    libutils::refvector<unsigned short> red;
    libutils::refvector<unsigned short> green;
    libutils::refvector<unsigned short> blue;

    bool resize(uint64_t n);
    void clear();
    uint64_t size() const { return entries; }
};

class image1d_t : public libutils::bytevector {
  public:
    image_desc_t desc;
    image_store_t* store = nullptr;
    image_window1d_t window;
    uint32_t width = 0;
    bool compressed = false;
    palette_t palette;

    // Byte i of the visible part.
    unsigned char* operator[](uint64_t i) override { return begin() + window.skip_pixels + i; }
    const unsigned char* operator[](uint64_t i) const override {
        return begin() + window.skip_pixels + i;
    }
};

class image2d_t : public libutils::bytevector {
  public:
    image_desc_t desc;
    image_store_t* store = nullptr;
    image_window2d_t window;
    uint32_t width = 0;
    uint32_t height = 0;
    bool compressed = false;  // a compressed texture: no row structure
    palette_t palette;

    // Pixels per stored row.
    uint32_t rowlength() const { return window.row_length ? window.row_length : width; }
    // Bytes per stored row, padded to the alignment.
    uint64_t rowsize() const;
    // Bytes the `width` pixels of a row occupy, unpadded.
    uint64_t rowbyte() const;
    // Bytes the buffer needs for the visible area and the skipped rows.
    uint64_t bytesize() const { return (uint64_t(window.skip_rows) + height) * rowsize(); }

    // Sizes the buffer for the description; detaches from other holders.
    bool allocate();
    // Releases the pixels and the palette; the description stays.
    void clear() override;

    // First visible pixel of row y (row 0 is the bottom row).
    unsigned char* operator[](uint64_t y) override;
    const unsigned char* operator[](uint64_t y) const override;
};

class image3d_t : public libutils::bytevector {
  public:
    image_desc_t desc;
    image_store_t* store = nullptr;
    image_window3d_t window;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;
    bool compressed = false;
    palette_t palette;
};

// Makes dst a view of the rectangle (x, y, w, h) of src, sharing its pixels.
// The rectangle is clipped to the source; one outside it gives an empty view.
bool makewindow(image2d_t& dst, const image2d_t& src, int32_t x, int32_t y, uint32_t w, uint32_t h);

}  // namespace libgr

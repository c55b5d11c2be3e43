// One small interface over every picture file format, so that a program can
// pick a reader by file extension. Readers fill a picture with rows bottom row
// first, in the file's own channel order (described, not reordered). A reader
// that fails returns false and leaves the picture unusable; the messages are
// those of each format's header.
#pragma once

#include <cstdint>

#include "libgr/image/image.h"

namespace libgr {

class image_object_t {
  public:
    virtual ~image_object_t() = default;

    virtual bool load(image2d_t& image, const char* path) = 0;
    // Formats without a writer refuse.
    virtual bool save(const image2d_t& image, const char* path);

    // Quarter turns to the right that make the last loaded picture stand
    // upright (JPEG: from its EXIF orientation); the pixels are never turned.
    uint64_t rightrotatecount() const { return m_rightrotatecount; }

  protected:
    uint64_t m_rightrotatecount = 0;
};

}  // namespace libgr

// BMP files behind the loader interface: image_bmp_t through the stream
// reader (palettes ignored) and writer, image_bmp2_t through the mapped,
// palette-aware reader (no writer). Saving turns RGB pictures to BGR first.
#pragma once

#include "libgr/imagefile/bmpimage.h"
#include "libgr/imagefile/bmpimage2.h"
#include "libgr/imagefile/imageobject.h"

namespace libgr {

class image_bmp_t : public image_object_t {
  public:
    bool load(image2d_t& image, const char* path) override;
    bool save(const image2d_t& image, const char* path) override;

  private:
    bmpimage_t m_bmp;
};

class image_bmp2_t : public image_object_t {
  public:
    bool load(image2d_t& image, const char* path) override;

  private:
    bmpimage2_t m_bmp;
};

}  // namespace libgr

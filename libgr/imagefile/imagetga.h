// TGA files behind the loader interface (see tgaimage.h).
#pragma once

#include "libgr/imagefile/imageobject.h"
#include "libgr/imagefile/tgaimage.h"

namespace libgr {

class image_tga_t : public image_object_t {
  public:
    bool load(image2d_t& image, const char* path) override;
    bool save(const image2d_t& image, const char* path) override;
};

}  // namespace libgr

// JPEG files through the codec layer. Loading decodes at full size and takes
// the quarter-turn count from the EXIF orientation (6: one turn right, 3: two,
// 8: three); saving encodes at quality 95, baseline, with the APPn and COM
// segments of the last file this object loaded (none for a fresh object).
// Failure texts are the codec's (": jpeg decompress fail, stop.",
// ": allocate() fail." for a picture larger than memory can hold, ...), on
// the standard error stream.
#pragma once

#include <string>

#include "libgr/imagefile/imageobject.h"
#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpeginfo.h"

namespace libgr {

class image_jpeg1_t : public image_object_t {
  public:
    bool load(image2d_t& image, const char* path) override;
    bool save(const image2d_t& image, const char* path) override;

  private:
    std::string m_path;  // jpegdata_t::name points here
    jpegdata_t m_data;
    jpeginfo_t m_info;
};

}  // namespace libgr

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

    // Later loads may decode a reduced picture that still covers w x h
    // pixels (see jpeginfo_t::cover_width); 0 x 0 loads at full size.
    void set_cover(uint32_t w, uint32_t h) { m_info.cover_width = w, m_info.cover_height = h; }
    // Of the last load: the reduction (1, 2, 4 or 8) and the full size.
    unsigned reduction() const { return m_info.reduction; }
    uint64_t full_width() const { return m_info.width; }
    uint64_t full_height() const { return m_info.height; }

  private:
    std::string m_path;  // jpegdata_t::name points here
    jpegdata_t m_data;
    jpeginfo_t m_info;
};

}  // namespace libgr

// An encoder fed a row at a time, top row first: the bytes that
// jpeginfo_t::compress gives for a whole picture, for callers that make the
// rows as they go and never hold the picture whole.
#pragma once

#include <cstdint>
#include <vector>

#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegmem.h"

namespace libgr {

class jpeg_row_encoder_t {
  public:
    jpeg_row_encoder_t() = default;
    jpeg_row_encoder_t(const jpeg_row_encoder_t&) = delete;
    jpeg_row_encoder_t& operator=(const jpeg_row_encoder_t&) = delete;
    ~jpeg_row_encoder_t();

    // Begins the file in `out` (kept until finish) with the segments after
    // libjpeg's JFIF header. False when the description has no JPEG
    // equivalent or libjpeg refuses (a line naming out.name, or
    // "compress()", is then on standard error).
    bool start(jpegdata_t& out, const image_desc_t& desc, uint32_t width, uint32_t height,
               int quality, bool force_baseline,
               const std::vector<jpeginfo_t::marker_t>& markers);
    // The next row from the top; false once anything has failed.
    bool put(const unsigned char* row);
    // Ends the file; false when any step failed (out is then empty).
    bool finish();

  private:
    jpeg_compress_struct m_cinfo{};
    jpeg_error_ext_t m_err{};
    jpegdata_t* m_out = nullptr;
    bool m_live = false;  // m_cinfo holds a compressor

    bool abandon();
};

}  // namespace libgr

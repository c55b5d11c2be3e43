#include "libgr/jpeg/jpegrowencoder.h"

#include <csetjmp>

namespace libgr {

// Each call into libjpeg sets the jump target in its own frame: libjpeg's
// error manager jumps back to the call that failed, which then ends the
// encoder (the manager has printed the diagnostic).

jpeg_row_encoder_t::~jpeg_row_encoder_t() {
    if (m_live) jpeg_destroy_compress(&m_cinfo);
}

bool jpeg_row_encoder_t::abandon() {
    jpeg_destroy_compress(&m_cinfo);
    m_live = false;
    m_out->clear();
    return false;
}

bool jpeg_row_encoder_t::start(jpegdata_t& out, const image_desc_t& desc, uint32_t width,
                               uint32_t height, int quality, bool force_baseline,
                               const std::vector<jpeginfo_t::marker_t>& markers) {
    out.clear();
    J_COLOR_SPACE space;
    int components;
    if (m_live || !get_jpeg_info_from_image_desc(&space, &components, desc)) return false;
    m_out = &out;
    m_cinfo.err = init_compress_error(m_err, out.name ? out.name : "compress()");
    if (setjmp(m_err.jump)) return abandon();
    jpeg_create_compress(&m_cinfo);
    m_live = true;
    set_jpegimage_dest(&m_cinfo, out);
    m_cinfo.image_width = width;
    m_cinfo.image_height = height;
    m_cinfo.input_components = components;
    m_cinfo.in_color_space = space;
    jpeg_set_defaults(&m_cinfo);
    jpeg_set_quality(&m_cinfo, quality, force_baseline ? TRUE : FALSE);
    jpeg_start_compress(&m_cinfo, TRUE);
    // Every collected segment follows libjpeg's own JFIF header as it came,
    // so a source with a JFIF header of its own keeps it as a second one.
    for (const jpeginfo_t::marker_t& m : markers)
        jpeg_write_marker(&m_cinfo, m.marker, m.data.begin(), (unsigned int)m.data.size());
    return true;
}

bool jpeg_row_encoder_t::put(const unsigned char* row) {
    if (!m_live) return false;
    if (setjmp(m_err.jump)) return abandon();
    JSAMPROW r = const_cast<JSAMPROW>(row);
    jpeg_write_scanlines(&m_cinfo, &r, 1);
    return true;
}

bool jpeg_row_encoder_t::finish() {
    if (!m_live) return false;
    if (setjmp(m_err.jump)) return abandon();
    jpeg_finish_compress(&m_cinfo);
    jpeg_destroy_compress(&m_cinfo);
    m_live = false;
    return true;
}

}  // namespace libgr

#include "libgr/imagefile/imagebmp.h"

#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace libgr {

namespace {

bool unsupported(const char* path, const bmpheader_t& h) {
    return libutils::fail(std::cerr, path, ": bmp: unsupported layout (", h.bits,
                          " bits, compression ", h.compression, ").");
}

}  // namespace

bool image_bmp_t::load(image2d_t& image, const char* path) {
    image.clear();
    m_rightrotatecount = 0;
    if (!m_bmp.load(path)) return false;
    bool ok = convert(image, m_bmp) || unsupported(path, m_bmp.header);
    m_bmp.pixels.clear();  // the picture holds them now
    return ok;
}

bool image_bmp_t::save(const image2d_t& image, const char* path) {
    image2d_t bgr;
    return rgb2bgr(bgr, image) && convert(m_bmp, bgr) && m_bmp.save(path);
}

bool image_bmp2_t::load(image2d_t& image, const char* path) {
    image.clear();
    m_rightrotatecount = 0;
    if (!m_bmp.load(path)) return false;
    bool ok = convert(image, m_bmp) || unsupported(path, m_bmp.header);
    m_bmp = bmpimage2_t();  // the picture keeps the mapping alive
    return ok;
}

}  // namespace libgr

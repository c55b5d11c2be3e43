#include "libgr/imagefile/imagetga.h"

#include <iostream>

#include "libutils/error.h"

namespace libgr {

bool image_tga_t::load(image2d_t& image, const char* path) {
    image.clear();
    m_rightrotatecount = 0;
    tgaimage_t tga;
    if (!tga.load(path)) return false;
    if (tga.header.descriptor & 0x30)
        return libutils::fail(std::cerr, path, ": tga: origin not at the bottom left.");
    if (!convert(image, tga)) return libutils::fail(std::cerr, path, ": tga: unsupported layout.");
    return true;
}

bool image_tga_t::save(const image2d_t& image, const char* path) {
    tgaimage_t tga;
    return convert(tga, image) && tga.save(path);
}

}  // namespace libgr

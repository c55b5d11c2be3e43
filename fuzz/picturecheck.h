// What every picture reader must deliver when it says yes: a buffer holding
// every row its geometry describes, read here byte by byte so that the
// sanitizers see any pixel that was never there, and palette-expanded pixels
// that stay inside the palette.
#pragma once

#include <cstdlib>

#include "libgr/image/image.h"
#include "libgr/image/imageops.h"

namespace fuzz {

inline unsigned check_picture(const libgr::image2d_t& image) {
    if (image.compressed || image.size() < image.bytesize()) std::abort();
    unsigned sum = 0;
    for (uint32_t y = 0; y < image.height; ++y) {
        const unsigned char* row = image[y];
        for (uint64_t i = 0; i < image.rowbyte(); ++i) sum += row[i];
    }
    libgr::image2d_t rgb;
    if (image.desc.format == libgr::IMAGE_FORMAT_INDEX && image.width * uint64_t(image.height) < (1u << 22))
        if (!libgr::index2rgb(rgb, image) || rgb.size() < rgb.bytesize()) std::abort();
    return sum;
}

}  // namespace fuzz

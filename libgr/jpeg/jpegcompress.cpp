#include <iostream>

#include "libgr/image/imageops.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegrowencoder.h"
#include "libutils/error.h"

namespace libgr {

bool jpeginfo_t::compress(jpegdata_t& out, const image2d_t& image, int quality,
                          bool force_baseline) const {
    out.clear();
    const char* subject = out.name ? out.name : "compress()";
    J_COLOR_SPACE space;
    int components;
    if (!get_jpeg_info_from_image_desc(&space, &components, image.desc)) return false;
    if (image.compressed || !imageops_detail::has_pixels(image)) {
        return libutils::fail(std::cerr, subject, ": image buffer too small.");
    }

    jpeg_row_encoder_t encoder;
    if (!encoder.start(out, image.desc, image.width, image.height, quality, force_baseline,
                       markers))
        return false;
    for (uint32_t k = 0; k < image.height; ++k)
        if (!encoder.put(image[image.height - 1 - k])) return false;
    return encoder.finish();
}

}  // namespace libgr

#include <csetjmp>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegmem.h"
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

    jpeg_compress_struct cinfo;
    jpeg_error_ext_t err;
    cinfo.err = init_compress_error(err, subject);
    if (setjmp(err.jump)) {
        // The error manager has printed the diagnostic.
        jpeg_destroy_compress(&cinfo);
        out.clear();
        return false;
    }
    jpeg_create_compress(&cinfo);
    set_jpegimage_dest(&cinfo, out);
    cinfo.image_width = image.width;
    cinfo.image_height = image.height;
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, force_baseline ? TRUE : FALSE);

    jpeg_start_compress(&cinfo, TRUE);
    // Every collected segment follows libjpeg's own JFIF header as it came,
    // so a source with a JFIF header of its own keeps it as a second one.
    for (const marker_t& m : markers) {
        jpeg_write_marker(&cinfo, m.marker, m.data.begin(), (unsigned int)m.data.size());
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image[cinfo.image_height - 1 - cinfo.next_scanline]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace libgr

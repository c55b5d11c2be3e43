#include <csetjmp>
#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegmem.h"
#include "libutils/error.h"

namespace libgr {

namespace {

// A JFIF APP0 payload: "JFIF\0", version, density unit, X and Y density.
bool is_jfif(const jpeginfo_t::marker_t& m) {
    return m.marker == JPEG_APP0 && m.data.size() >= 14 &&
           std::memcmp(m.data.begin(), "JFIF", 5) == 0;
}

}  // namespace

bool jpeginfo_t::compress(jpegdata_t& out, const image2d_t& image, int quality,
                          bool force_baseline) const {
    out.clear();
    const char* subject = out.name ? out.name : "compress()";
    J_COLOR_SPACE space;
    int components;
    if (!get_jpeg_info_from_image_desc(&space, &components, image.desc)) return false;
    if (image.compressed || !imageops_detail::has_pixels(image)) {
        libutils::error();
        std::cerr << subject << ": image buffer too small." << std::endl;
        return false;
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

    // libjpeg writes a JFIF header of its own: a collected one would make a
    // second. Its density is carried over instead.
    const marker_t* jfif = nullptr;
    for (const marker_t& m : markers) {
        if (is_jfif(m)) {
            jfif = &m;
            break;
        }
    }
    if (jfif && cinfo.write_JFIF_header) {
        const unsigned char* p = jfif->data.begin();
        cinfo.density_unit = p[7];
        cinfo.X_density = (UINT16)(p[8] << 8 | p[9]);
        cinfo.Y_density = (UINT16)(p[10] << 8 | p[11]);
    }

    jpeg_start_compress(&cinfo, TRUE);
    for (const marker_t& m : markers) {
        if (&m == jfif && cinfo.write_JFIF_header) continue;
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

#include "support/jpegfixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <jpeglib.h>

namespace jpegfixture {

std::vector<unsigned char> pattern(const options_t& o) {
    std::vector<unsigned char> px((size_t)o.width * o.height * o.components);
    unsigned state = o.seed * 2654435761u + 1;
    for (int y = 0; y < o.height; ++y) {
        for (int x = 0; x < o.width; ++x) {
            for (int c = 0; c < o.components; ++c) {
                state = state * 1103515245u + 12345u;
                int noise = (int)((state >> 16) & 31) - 16;
                int v = (x * 255 / (o.width > 1 ? o.width - 1 : 1)) * (c == 0) +
                        (y * 255 / (o.height > 1 ? o.height - 1 : 1)) * (c == 1) +
                        ((x + y) * 4 & 255) * (c >= 2) + noise;
                px[((size_t)y * o.width + x) * o.components + c] = (unsigned char)(v < 0     ? 0
                                                                                   : v > 255 ? 255
                                                                                             : v);
            }
        }
    }
    return px;
}

std::vector<unsigned char> make_jpeg(const options_t& o) {
    std::vector<unsigned char> px = pattern(o);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = (JDIMENSION)o.width;
    cinfo.image_height = (JDIMENSION)o.height;
    cinfo.input_components = o.components;
    cinfo.in_color_space = o.components == 1   ? JCS_GRAYSCALE
                           : o.components == 4 ? JCS_CMYK
                                               : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, o.quality, TRUE);
    if (o.components == 3) {
        cinfo.comp_info[0].h_samp_factor = o.h_samp;
        cinfo.comp_info[0].v_samp_factor = o.v_samp;
        cinfo.comp_info[1].h_samp_factor = cinfo.comp_info[1].v_samp_factor = 1;
        cinfo.comp_info[2].h_samp_factor = cinfo.comp_info[2].v_samp_factor = 1;
    }
    cinfo.restart_in_rows = o.restart_rows;
    cinfo.optimize_coding = o.optimize ? TRUE : FALSE;
    if (o.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &px[(size_t)cinfo.next_scanline * o.width * o.components];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> out(mem, mem + size);
    free(mem);
    return out;
}

bool write_jpeg(const std::string& path, const options_t& o) {
    std::vector<unsigned char> bytes = make_jpeg(o);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
    return bool(out);
}

bool write_pnm(const std::string& path, int width, int height, int components,
               const std::vector<unsigned char>& pixels) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << (components == 1 ? "P5\n" : "P6\n") << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(pixels.data()), (std::streamsize)pixels.size());
    return bool(out);
}

}  // namespace jpegfixture

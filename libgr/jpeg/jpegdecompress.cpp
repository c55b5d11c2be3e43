#include <csetjmp>
#include <cstring>
#include <iostream>
#include <vector>

#include <jerror.h>

#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegmem.h"
#include "libutils/error.h"

namespace libgr {

namespace {

// Every decoded picture refers to this store. Its settings are fixed here
// and never written afterwards: pictures are decoded on several threads at
// once.
image_store_t s_codec_store = {false, 4};

const char* subject_of(const jpegdata_t& data) {
    return data.name ? data.name : "(memory)";
}

// Sizes the picture's buffer. With a border or an alignment the picture is a
// window of a larger stored area painted with the border colour (zero bytes
// for the alignment's margin when there is no border).
bool allocate_stored(image2d_t& image, unsigned short align, bool border,
                     const color3ub_t& colour) {
    if (!align && !border) return image.allocate();
    uint32_t b = border ? 1 : 0;
    uint64_t stored_w = uint64_t(image.width) + 2 * b, stored_h = uint64_t(image.height) + 2 * b;
    if (align) {
        uint64_t side = std::max(stored_w, stored_h);
        side = (side + align - 1) / align * align;
        stored_w = stored_h = side;
    }
    if (stored_w > UINT32_MAX || stored_h > UINT32_MAX) return false;
    uint32_t height = image.height;
    image.window.row_length = uint32_t(stored_w);
    image.window.skip_pixels = b;
    image.window.skip_rows = b;
    image.height = uint32_t(stored_h - b);  // allocate() counts the skipped rows
    bool ok = image.allocate();
    image.height = height;
    if (!ok) return false;
    unsigned char pixel[3] = {colour.r, colour.g, colour.b};
    unsigned bytes = image.desc.getPixelBits() / 8;
    if (bytes == 1) pixel[0] = monochrome(colour);
    if (!border) std::memset(pixel, 0, sizeof pixel);
    uint64_t stride = image.rowsize();
    for (uint64_t y = 0; y < stored_h; ++y) {
        unsigned char* row = image.begin() + y * stride;
        for (uint64_t x = 0; x < stored_w; ++x) std::memcpy(row + x * bytes, pixel, bytes);
    }
    return true;
}

// CMYK samples to RGB: each colour channel darkened by black. Files with
// an Adobe segment (nearly all CMYK files) store the samples inverted.
void cmyk_to_rgb(unsigned char* rgb, const unsigned char* cmyk, size_t pixels, bool inverted) {
    for (size_t i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned v = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = (unsigned char)((v * k + 127) / 255);
        }
    }
}

}  // namespace

bool jpeginfo_t::decompress_rows(row_sink_t& sink, jpegdata_t& data) {
    markers.clear();
    warnings = 0;
    const char* subject = subject_of(data);
    jpeg_decompress_struct cinfo;
    jpeg_error_ext_t err;
    // From the first scanline on, a libjpeg error leaves a partly decoded
    // picture that is still worth having.
    volatile bool scanning = false;
    // Declared before the jump point, so that a jump back frees it.
    std::vector<JSAMPLE> cmyk_row;
    cinfo.err = init_decompress_error(err, subject);
    if (setjmp(err.jump)) {
        // Memory that libjpeg cannot have (the whole coefficient buffer of a
        // huge multi-scan picture, say) leaves nothing worth returning.
        bool no_memory = err.pub.msg_code == JERR_OUT_OF_MEMORY;
        jpeg_destroy_decompress(&cinfo);
        if (!scanning || no_memory) {
            if (scanning) sink.discard();
            return libutils::fail(std::cerr, subject, ": jpeg decompress fail, stop.");
        }
        libutils::report(std::cerr, subject, ": jpeg decompress fail, but continue.");
        warnings = err.pub.num_warnings + 1;
        return true;
    }
    jpeg_create_decompress(&cinfo);
    set_jpegimage_src(&cinfo, data);
    jpeg_save_markers(&cinfo, JPEG_COM, 0xFFFF);
    for (int i = 0; i < 16; ++i) jpeg_save_markers(&cinfo, JPEG_APP0 + i, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    width = cinfo.image_width;
    height = cinfo.image_height;
    components = cinfo.num_components;
    progressive = cinfo.progressive_mode != 0;
    if (max_pixels != 0 && width * height > max_pixels) {
        jpeg_destroy_decompress(&cinfo);
        libutils::report(std::cerr, subject, ": ", width, "x", height,
                         " pixels, more than the limit of ", max_pixels, ".");
        return false;
    }

    // CMYK and YCCK (written by scanners and print editors) come out of
    // libjpeg as CMYK and are turned into RGB row by row.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    image_desc_t desc;
    if (cmyk) {
        cinfo.out_color_space = JCS_CMYK;
        desc = jpeg_info_desc_table[0].desc;
    } else if (!get_image_desc_from_jpeg_info(desc, cinfo.out_color_space,
                                              cinfo.num_components)) {
        jpeg_destroy_decompress(&cinfo);
        libutils::report(std::cerr, subject, ": colour space ", int(cinfo.jpeg_color_space),
                         " with ", cinfo.num_components, " components not supported.");
        return false;
    }
    reduction = 1;
    if (cover_width && cover_height)
        while (reduction < 8 && width / (2 * reduction) >= cover_width &&
               height / (2 * reduction) >= cover_height)
            reduction *= 2;
    cinfo.scale_num = 1;
    cinfo.scale_denom = reduction;
    jpeg_calc_output_dimensions(&cinfo);
    const uint32_t width = cinfo.output_width;
    // A header may declare up to 65500 x 65500 pixels (12.9 GB in RGB): a
    // picture that memory cannot hold is refused here, before any pixel.
    // The segments first: a sink may pass them on as it starts.
    if (!copy_markers(cinfo.marker_list, true, markers) ||
        !sink.start(desc, width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        sink.discard();
        return libutils::fail(std::cerr, subject, ": allocate() fail.");
    }

    if (cmyk) cmyk_row.resize(size_t(width) * 4);
    scanning = true;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        const uint32_t k = cinfo.output_scanline;
        JSAMPROW target = sink.row(k);
        JSAMPROW row = cmyk ? cmyk_row.data() : target;
        const bool read = jpeg_read_scanlines(&cinfo, &row, 1) != 0;
        if (read && cmyk) cmyk_to_rgb(target, cmyk_row.data(), size_t(width), inverted);
        if (read) sink.row_done(k);
        if (!read) {
            libutils::report(std::cerr, subject, ": decompress fail.");
            warnings = err.pub.num_warnings + 1;
            jpeg_abort_decompress(&cinfo);
            jpeg_destroy_decompress(&cinfo);
            return true;
        }
    }
    jpeg_finish_decompress(&cinfo);
    warnings = err.pub.num_warnings;
    jpeg_destroy_decompress(&cinfo);
    return true;
}

namespace {

// Rows into a picture, the file's top row stored last.
class image_sink_t : public row_sink_t {
    image2d_t& m_image;
    unsigned short m_align;
    bool m_border;
    const color3ub_t& m_colour;

  public:
    image_sink_t(image2d_t& image, unsigned short align, bool border, const color3ub_t& colour)
        : m_image(image), m_align(align), m_border(border), m_colour(colour) {}
    bool start(const image_desc_t& desc, uint32_t width, uint32_t height) override {
        m_image.clear();
        m_image.desc = desc;
        m_image.store = &s_codec_store;
        m_image.window = image_window2d_t();
        m_image.compressed = false;
        m_image.width = width;
        m_image.height = height;
        return allocate_stored(m_image, m_align, m_border, m_colour);
    }
    unsigned char* row(uint32_t k) override { return m_image[m_image.height - 1 - k]; }
    void discard() override { m_image.clear(); }
};

}  // namespace

bool jpeginfo_t::decompress(image2d_t& image, jpegdata_t& data, unsigned short align, bool border,
                            const color3ub_t& border_colour) {
    image_sink_t sink(image, align, border, border_colour);
    return decompress_rows(sink, data);
}

}  // namespace libgr

#include "libgr/jpeg/jpeginfo.h"

#include <csetjmp>
#include <cstring>
#include <iostream>

#include "libgr/jpeg/jpegmem.h"
#include "libutils/error.h"

namespace libgr {

const marker_array_t marker_array[MARKER_MAX] = {
    {MARKER_APP0, 0xE0},  {MARKER_APP1, 0xE1},  {MARKER_APP2, 0xE2},  {MARKER_APP3, 0xE3},
    {MARKER_APP4, 0xE4},  {MARKER_APP5, 0xE5},  {MARKER_APP6, 0xE6},  {MARKER_APP7, 0xE7},
    {MARKER_APP8, 0xE8},  {MARKER_APP9, 0xE9},  {MARKER_APP10, 0xEA}, {MARKER_APP11, 0xEB},
    {MARKER_APP12, 0xEC}, {MARKER_APP13, 0xED}, {MARKER_APP14, 0xEE}, {MARKER_APP15, 0xEF},
    {MARKER_COM, 0xFE},
};

const jpeg_info_desc_t jpeg_info_desc_table[3] = {
    {image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8), JCS_RGB, 3},
    {image_desc_t(IMAGE_FORMAT_YCbCr, IMAGE_TYPE_UINT, IMAGE_BITS_8), JCS_YCbCr, 3},
    {image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8), JCS_GRAYSCALE, 1},
};

bool get_image_desc_from_jpeg_info(image_desc_t& desc, J_COLOR_SPACE space, int components) {
    for (const jpeg_info_desc_t& row : jpeg_info_desc_table) {
        if (row.space == space && row.components == components) {
            desc = row.desc;
            return true;
        }
    }
    return false;
}

bool get_jpeg_info_from_image_desc(J_COLOR_SPACE* space, int* components,
                                   const image_desc_t& desc) {
    for (const jpeg_info_desc_t& row : jpeg_info_desc_table) {
        if (row.desc == desc) {
            *space = row.space;
            *components = row.components;
            return true;
        }
    }
    return false;
}

namespace {

const char* subject_of(const jpegdata_t& data) {
    return data.name ? data.name : "(memory)";
}

}  // namespace

bool jpeginfo_t::copy_markers(jpeg_saved_marker_ptr list, bool whole_only,
                              std::vector<marker_t>& out) {
    for (jpeg_saved_marker_ptr m = list; m; m = m->next) {
        if (whole_only && (m->data_length == 0 || m->data_length != m->original_length)) continue;
        jpeginfo_t::marker_t entry;
        entry.marker = (unsigned char)m->marker;
        // An empty segment keeps an empty buffer.
        if (!entry.data.resize(m->data_length)) return false;
        if (m->data_length) std::memcpy(entry.data.begin(), m->data, m->data_length);
        out.push_back(entry);
    }
    return true;
}

bool jpeginfo_t::analyze_markers(jpegdata_t& data) {
    markers.clear();
    jpeg_decompress_struct cinfo;
    jpeg_error_ext_t err;
    cinfo.err = init_decompress_error(err, subject_of(data));
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return libutils::fail(std::cerr, subject_of(data), ": jpeg decompress fail, stop.");
    }
    jpeg_create_decompress(&cinfo);
    set_jpegimage_src(&cinfo, data);
    jpeg_save_markers(&cinfo, JPEG_COM, 0xFFFF);
    for (int i = 0; i < 16; ++i) jpeg_save_markers(&cinfo, JPEG_APP0 + i, 0xFFFFFFFF);
    jpeg_read_header(&cinfo, TRUE);
    width = cinfo.image_width;
    height = cinfo.image_height;
    components = cinfo.num_components;
    progressive = cinfo.progressive_mode != 0;
    // No libjpeg call below may jump: the copies own memory.
    bool ok = copy_markers(cinfo.marker_list, false, markers);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) {
        libutils::report(std::cerr, subject_of(data), ": allocate() fail.");
    }
    return ok;
}

uint64_t jpeginfo_t::decode_bytes(uint64_t width, uint64_t height, int components,
                                  bool progressive) {
    // Sides padded to whole 16-pixel blocks, the most any sampling needs;
    // 65500 x 65500 stays far from overflowing.
    const uint64_t w = (width + 15) / 16 * 16, h = (height + 15) / 16 * 16;
    const uint64_t channels = components == 1 ? 1 : 3;
    const uint64_t picture = (width * channels + 3) / 4 * 4 * height;
    // One 16-bit coefficient per sample and component.
    const uint64_t coefficients = progressive ? w * h * uint64_t(components) * 2 : 0;
    return picture + coefficients;
}

uint64_t jpeginfo_t::decode_bytes() const {
    return decode_bytes(width, height, components, progressive);
}

libutils::bytevector jpeginfo_t::get_marker(e_marker_num_t num) const {
    return get_marker(int(num));
}

libutils::bytevector jpeginfo_t::get_marker(int num) const {
    if (num < 0 || num >= MARKER_MAX) return libutils::bytevector();
    unsigned char code = marker_array[num].code;
    for (const marker_t& m : markers)
        if (m.marker == code) return m.data;
    return libutils::bytevector();
}

}  // namespace libgr

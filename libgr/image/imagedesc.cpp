#include "libgr/image/imagedesc.h"

namespace libgr {

const unsigned s_image_format_components_list[IMAGE_FORMAT_MAX] = {
    1, 2, 1, 1, 1, 1, 1, 2, 3, 4, 3, 4, 1, 2, 3, 4, 2, 1,
};

// D24S8 has no defined pixel size: it counts as 0 bits.
const image_bits_row_t s_image_bits_list[IMAGE_BITS_MAX] = {
    {1, false},  {2, false},  {4, false},  {8, false}, {12, false}, {16, false},
    {24, false}, {32, false}, {64, false}, {8, true},  {16, true},  {16, true},
    {32, true},  {8, true},   {16, true},  {0, true},
};

namespace {

const char* const k_format_names[IMAGE_FORMAT_MAX + 1] = {
    "IMAGE_FORMAT_GRAYSCALE", "IMAGE_FORMAT_GRAYSCALE_ALPHA",
    "IMAGE_FORMAT_INTENSITY", "IMAGE_FORMAT_RED",
    "IMAGE_FORMAT_GREEN",     "IMAGE_FORMAT_BLUE",
    "IMAGE_FORMAT_ALPHA",     "IMAGE_FORMAT_RG",
    "IMAGE_FORMAT_RGB",       "IMAGE_FORMAT_RGBA",
    "IMAGE_FORMAT_BGR",       "IMAGE_FORMAT_BGRA",
    "IMAGE_FORMAT_DEPTH",     "IMAGE_FORMAT_DEPTH_STENCIL",
    "IMAGE_FORMAT_YCbCr",     "IMAGE_FORMAT_YCbCrA",
    "IMAGE_FORMAT_YCbCr422",  "IMAGE_FORMAT_INDEX",
    "IMAGE_FORMAT_MAX",
};

const char* const k_type_names[IMAGE_TYPE_MAX + 1] = {
    "IMAGE_TYPE_SINT",
    "IMAGE_TYPE_UINT",
    "IMAGE_TYPE_FLOAT",
    "IMAGE_TYPE_MAX",
};

const char* const k_bits_names[IMAGE_BITS_MAX + 1] = {
    "IMAGE_BITS_1",           "IMAGE_BITS_2",      "IMAGE_BITS_4",      "IMAGE_BITS_8",
    "IMAGE_BITS_12",          "IMAGE_BITS_16",     "IMAGE_BITS_24",     "IMAGE_BITS_32",
    "IMAGE_BITS_64",          "IMAGE_BITS_R3G3B2", "IMAGE_BITS_R5G6B5", "IMAGE_BITS_R5G5B5A1",
    "IMAGE_BITS_R10G10B10A2", "IMAGE_BITS_L6A2",   "IMAGE_BITS_L12A4",  "IMAGE_BITS_D24S8",
    "IMAGE_BITS_MAX",
};

std::ostream& print_name(std::ostream& os, int32_t v, const char* const* names, int32_t count) {
    if (v >= 0 && v < count) return os << names[v];
    return os << "unknown: " << v;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, e_image_format_t v) {
    return print_name(os, v, k_format_names, IMAGE_FORMAT_MAX + 1);
}

std::ostream& operator<<(std::ostream& os, e_image_type_t v) {
    return print_name(os, v, k_type_names, IMAGE_TYPE_MAX + 1);
}

std::ostream& operator<<(std::ostream& os, e_image_bits_t v) {
    return print_name(os, v, k_bits_names, IMAGE_BITS_MAX + 1);
}

unsigned image_desc_t::components() const {
    if (format < 0 || format >= IMAGE_FORMAT_MAX) return 0;
    return s_image_format_components_list[format];
}

unsigned image_desc_t::getPixelBits() const {
    if (bits < 0 || bits >= IMAGE_BITS_MAX) return 0;
    const image_bits_row_t& row = s_image_bits_list[bits];
    if (row.packed) return row.bits;
    return components() * row.bits;
}

}  // namespace libgr

// How a picture's bytes are laid out: component layout, numeric type and bits
// per component (or per pixel for packed layouts), with printed names.
#pragma once

#include <cstdint>
#include <ostream>

namespace libgr {

enum e_image_format_t : int32_t {
    IMAGE_FORMAT_GRAYSCALE,
    IMAGE_FORMAT_GRAYSCALE_ALPHA,
    IMAGE_FORMAT_INTENSITY,
    IMAGE_FORMAT_RED,
    IMAGE_FORMAT_GREEN,
    IMAGE_FORMAT_BLUE,
    IMAGE_FORMAT_ALPHA,
    IMAGE_FORMAT_RG,
    IMAGE_FORMAT_RGB,
    IMAGE_FORMAT_RGBA,
    IMAGE_FORMAT_BGR,
    IMAGE_FORMAT_BGRA,
    IMAGE_FORMAT_DEPTH,
    IMAGE_FORMAT_DEPTH_STENCIL,
    IMAGE_FORMAT_YCbCr,
    IMAGE_FORMAT_YCbCrA,
    IMAGE_FORMAT_YCbCr422,
    IMAGE_FORMAT_INDEX,
    IMAGE_FORMAT_MAX
};

enum e_image_type_t : int32_t {
    IMAGE_TYPE_SINT,
    IMAGE_TYPE_UINT,
    IMAGE_TYPE_FLOAT,
    IMAGE_TYPE_MAX
};

enum e_image_bits_t : int32_t {
    IMAGE_BITS_1,
    IMAGE_BITS_2,
    IMAGE_BITS_4,
    IMAGE_BITS_8,
    IMAGE_BITS_12,
    IMAGE_BITS_16,
    IMAGE_BITS_24,
    IMAGE_BITS_32,
    IMAGE_BITS_64,
    IMAGE_BITS_R3G3B2,
    IMAGE_BITS_R5G6B5,
    IMAGE_BITS_R5G5B5A1,
    IMAGE_BITS_R10G10B10A2,
    IMAGE_BITS_L6A2,
    IMAGE_BITS_L12A4,
    IMAGE_BITS_D24S8,
    IMAGE_BITS_MAX
};

// Components per pixel of each format.
extern const unsigned s_image_format_components_list[IMAGE_FORMAT_MAX];

// Bits per component, or per pixel for the packed layouts (flagged).
struct image_bits_row_t {
    unsigned bits;
    bool packed;
};
extern const image_bits_row_t s_image_bits_list[IMAGE_BITS_MAX];

std::ostream& operator<<(std::ostream& os, e_image_format_t v);
std::ostream& operator<<(std::ostream& os, e_image_type_t v);
std::ostream& operator<<(std::ostream& os, e_image_bits_t v);

struct image_desc_t {
    e_image_format_t format = IMAGE_FORMAT_RGB;
    e_image_type_t type = IMAGE_TYPE_UINT;
    e_image_bits_t bits = IMAGE_BITS_8;

    image_desc_t() = default;
    image_desc_t(e_image_format_t f, e_image_type_t t, e_image_bits_t b)
        : format(f), type(t), bits(b) {}

    // Bits per pixel: the packed size for packed layouts, else components
    // times bits per component; 0 for values outside the tables.
    unsigned getPixelBits() const;
    unsigned components() const;

    bool operator==(const image_desc_t& o) const {
        return format == o.format && type == o.type && bits == o.bits;
    }
    bool operator!=(const image_desc_t& o) const { return !(*this == o); }
};

}  // namespace libgr

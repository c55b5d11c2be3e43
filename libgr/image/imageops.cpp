#include "libgr/image/imageops.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "libgr/image/convertbytes.h"
#include "libutils/error.h"

namespace libgr {

namespace imageops_detail {

image_store_t s_store_rgb2bgr = {false, 4};
image_store_t s_store_rgb2rgba = {false, 4};

bool make_image(image2d_t& dst, const image_desc_t& desc, image_store_t* store, uint32_t width,
                uint32_t height) {
    dst.clear();
    dst.desc = desc;
    dst.store = store;
    dst.window = image_window2d_t();
    dst.compressed = false;
    dst.width = width;
    dst.height = height;
    return dst.allocate();
}

bool has_pixels(const image2d_t& image) {
    if (image.width == 0 || image.height == 0) return true;
    return image.is_allocated() && image.size() >= image.bytesize();
}

}  // namespace imageops_detail

using namespace imageops_detail;

namespace {

bool is_byte_colour(const image2d_t& img, e_image_format_t a, e_image_format_t b) {
    return (img.desc.format == a || img.desc.format == b) &&
           (img.desc.type == IMAGE_TYPE_SINT || img.desc.type == IMAGE_TYPE_UINT) &&
           img.desc.bits == IMAGE_BITS_8 && !img.compressed;
}

// Row y of the stored rows without the window's pixel skip, and the bit at
// which the visible part begins (for layouts under 8 bits per pixel).
const unsigned char* row_bits(const image2d_t& img, uint32_t y, uint64_t& first_bit) {
    first_bit = uint64_t(img.window.skip_pixels) * img.desc.getPixelBits();
    return img.begin() + (uint64_t(img.window.skip_rows) + y) * img.rowsize();
}

// Copies rows in the order `row_of` gives, padding each with zero bytes.
template <class RowOf>
bool copy_rows(image2d_t& dst, const image2d_t& src, const char* what, RowOf row_of) {
    if (src.compressed) return false;
    if (!has_pixels(src)) return libutils::fail(std::cerr, what, ": image buffer too small.");
    image2d_t s(src);
    uint64_t bits = s.desc.getPixelBits();
    if (!make_image(dst, s.desc, s.store, s.width, s.height))
        return libutils::fail(std::cerr, what, ": allocate() fail.");
    dst.palette = s.palette;
    uint64_t bytes = dst.rowbyte(), stride = dst.rowsize();
    for (uint32_t y = 0; y < s.height; ++y) {
        unsigned char* out = dst.begin() + y * stride;
        uint64_t first_bit;
        const unsigned char* in = row_bits(s, row_of(y, s.height), first_bit);
        if (first_bit % 8 == 0) {
            std::memcpy(out, in + first_bit / 8, bytes);
        } else {
            // A window starting inside a byte: gather the bits.
            std::memset(out, 0, bytes);
            for (uint64_t i = 0; i < uint64_t(s.width) * bits; ++i) {
                uint64_t b = first_bit + i;
                if (in[b / 8] & (0x80 >> (b % 8))) out[i / 8] |= (unsigned char)(0x80 >> (i % 8));
            }
        }
        std::memset(out + bytes, 0, stride - bytes);
    }
    return true;
}

bool swap_red_blue(const char* what, image2d_t& dst, const image2d_t& src, e_image_format_t to3,
                   e_image_format_t to4, image_store_t* store3) {
    image_desc_t desc = src.desc;
    if (src.desc.format == IMAGE_FORMAT_RGB || src.desc.format == IMAGE_FORMAT_BGR) {
        desc.format = to3;
        return convert_bytes<3, 3>(what, dst, src, desc, store3 ? store3 : src.store,
                                   [](const unsigned char* in, unsigned char* out) {
                                       out[0] = in[2];
                                       out[1] = in[1];
                                       out[2] = in[0];
                                   });
    }
    desc.format = to4;
    return convert_bytes<4, 4>(what, dst, src, desc, src.store,
                               [](const unsigned char* in, unsigned char* out) {
                                   out[0] = in[2];
                                   out[1] = in[1];
                                   out[2] = in[0];
                                   out[3] = in[3];
                               });
}

// Value of the pixel x of a row of 1-, 4- or 8-bit values (most significant
// bits first).
inline unsigned small_value(const unsigned char* row, uint64_t first_bit, uint32_t x,
                            unsigned bits) {
    uint64_t b = first_bit + uint64_t(x) * bits;
    unsigned byte = row[b / 8];
    unsigned shift = 8 - bits - unsigned(b % 8);
    return (byte >> shift) & ((1u << bits) - 1);
}

unsigned bits_of(e_image_bits_t bits) {
    switch (bits) {
        case IMAGE_BITS_1:
            return 1;
        case IMAGE_BITS_4:
            return 4;
        case IMAGE_BITS_8:
            return 8;
        default:
            return 0;
    }
}

// Expands 1-, 4- or 8-bit values to RGB through `colour(value, out)`.
template <class Colour>
bool expand_small(const char* what, image2d_t& dst, const image2d_t& src, unsigned bits,
                  Colour colour) {
    if (src.compressed)
        return libutils::fail(std::cerr, what, ": compressed format not supported.");
    if (!has_pixels(src)) return libutils::fail(std::cerr, what, ": image buffer too small.");
    image2d_t s(src);
    if (!make_image(dst, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8), s.store,
                    s.width, s.height))
        return libutils::fail(std::cerr, what, ": allocate() fail.");
    uint64_t stride = dst.rowsize();
    for (uint32_t y = 0; y < s.height; ++y) {
        uint64_t first_bit;
        const unsigned char* in = row_bits(s, y, first_bit);
        unsigned char* out = dst.begin() + y * stride;
        for (uint32_t x = 0; x < s.width; ++x, out += 3)
            colour(small_value(in, first_bit, x, bits), out);
        std::memset(out, 0, stride - uint64_t(s.width) * 3);
    }
    return true;
}

}  // namespace

bool flip(image2d_t& dst, const image2d_t& src) {
    return copy_rows(dst, src, "flip()", [](uint32_t y, uint32_t h) { return h - 1 - y; });
}

bool copy(image2d_t& dst, const image2d_t& src) {
    return copy_rows(dst, src, "copy()", [](uint32_t y, uint32_t) { return y; });
}

bool bgr2rgb(image2d_t& dst, const image2d_t& src) {
    if (!is_byte_colour(src, IMAGE_FORMAT_BGR, IMAGE_FORMAT_BGRA)) {
        dst = src;
        return true;
    }
    return swap_red_blue("bgr2rgb()", dst, src, IMAGE_FORMAT_RGB, IMAGE_FORMAT_RGBA, nullptr);
}

bool rgb2bgr(image2d_t& dst, const image2d_t& src) {
    if (!is_byte_colour(src, IMAGE_FORMAT_RGB, IMAGE_FORMAT_RGBA)) {
        dst = src;
        return true;
    }
    return swap_red_blue("rgb2bgr()", dst, src, IMAGE_FORMAT_BGR, IMAGE_FORMAT_BGRA,
                         &s_store_rgb2bgr);
}

bool rgb2rgba(image2d_t& dst, const image2d_t& src) {
    if (is_byte_colour(src, IMAGE_FORMAT_RGBA, IMAGE_FORMAT_RGBA)) {
        dst = src;
        return true;
    }
    if (!is_byte_colour(src, IMAGE_FORMAT_RGB, IMAGE_FORMAT_RGB)) {
        dst = src;
        return false;
    }
    image_desc_t desc = src.desc;
    desc.format = IMAGE_FORMAT_RGBA;
    return convert_bytes<3, 4>("rgb2rgba()", dst, src, desc, &s_store_rgb2rgba,
                               [](const unsigned char* in, unsigned char* out) {
                                   out[0] = in[0];
                                   out[1] = in[1];
                                   out[2] = in[2];
                                   out[3] = 255;
                               });
}

bool rgba2rgb(image2d_t& dst, const image2d_t& src) {
    if (!is_byte_colour(src, IMAGE_FORMAT_RGBA, IMAGE_FORMAT_RGBA)) {
        dst = src;
        return true;
    }
    image_desc_t desc = src.desc;
    desc.format = IMAGE_FORMAT_RGB;
    return convert_bytes<4, 3>("rgba2rgb()", dst, src, desc, src.store,
                               [](const unsigned char* in, unsigned char* out) {
                                   out[0] = in[0];
                                   out[1] = in[1];
                                   out[2] = in[2];
                               });
}

bool grayscale2rgb(image2d_t& dst, const image2d_t& src) {
    if (src.desc.format != IMAGE_FORMAT_GRAYSCALE) {
        dst = src;
        return true;
    }
    unsigned bits = bits_of(src.desc.bits);
    if (!bits) return false;
    unsigned scale = 255 / ((1u << bits) - 1);  // 1 bit: 255, 4 bits: 17, 8 bits: 1
    return expand_small("grayscale2rgb()", dst, src, bits, [scale](unsigned v, unsigned char* out) {
        out[0] = out[1] = out[2] = (unsigned char)(v * scale);
    });
}

bool index2rgb(image2d_t& dst, const image2d_t& src) {
    if (src.desc.format != IMAGE_FORMAT_INDEX) {
        dst = src;
        return true;
    }
    unsigned bits = bits_of(src.desc.bits);
    if (!bits) return false;
    palette_t pal = src.palette;
    uint64_t n = std::min({pal.size(), pal.red.size(), pal.green.size(), pal.blue.size()});
    const unsigned short* r = pal.red.begin();
    const unsigned short* g = pal.green.begin();
    const unsigned short* b = pal.blue.begin();
    return expand_small("index2rgb()", dst, src, bits, [=](unsigned v, unsigned char* out) {
        if (v < n) {
            out[0] = (unsigned char)(r[v] >> 8);
            out[1] = (unsigned char)(g[v] >> 8);
            out[2] = (unsigned char)(b[v] >> 8);
        } else {
            out[0] = out[1] = out[2] = 0;
        }
    });
}

bool grayscale(image2d_t& dst, const image2d_t& src) {
    if (src.desc.format != IMAGE_FORMAT_GRAYSCALE) {
        return libutils::fail(std::cerr, src.desc.format, ": image format is not RGB.");
    }
    if (src.desc.type != IMAGE_TYPE_UINT) {
        return libutils::fail(std::cerr, src.desc.type, ": image type is not UINT.");
    }
    if (src.desc.bits != IMAGE_BITS_1) {
        return libutils::fail(std::cerr, src.desc.bits, ": image bits is not 8.");
    }
    unsigned char colours[2][3] = {{0, 0, 0}, {255, 255, 255}};
    const palette_t& pal = src.palette;
    if (pal.size() >= 2 && pal.red.size() >= 2 && pal.green.size() >= 2 && pal.blue.size() >= 2) {
        for (int i = 0; i < 2; ++i) {
            colours[i][0] = (unsigned char)(*pal.red[i] >> 8);
            colours[i][1] = (unsigned char)(*pal.green[i] >> 8);
            colours[i][2] = (unsigned char)(*pal.blue[i] >> 8);
        }
    }
    return expand_small("grayscale()", dst, src, 1, [&colours](unsigned v, unsigned char* out) {
        std::memcpy(out, colours[v], 3);
    });
}

}  // namespace libgr

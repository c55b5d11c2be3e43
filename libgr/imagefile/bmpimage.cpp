#include "libgr/imagefile/bmpimage.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libgr/imagefile/filebytes.h"
#include "libutils/error.h"

namespace libgr {

using namespace filebytes;

namespace {

// Largest side accepted: beyond anything a texture or a screen can use, and
// small enough that no size computed from it overflows.
const int32_t max_side = 1 << 20;

// The palette a grey file gets: 2^bits steps from black to white.
void grey_palette(unsigned char* out, unsigned bits) {
    unsigned n = 1u << bits;
    for (unsigned i = 0; i < n; ++i) {
        unsigned char v = (unsigned char)(i * 255 / (n - 1));
        out[4 * i] = out[4 * i + 1] = out[4 * i + 2] = v;
        out[4 * i + 3] = 0;
    }
}

}  // namespace

void bmpheader_t::decode(const unsigned char* b) {
    type = get16(b);
    filesize = get32(b + 2);
    reserved1 = get16(b + 6);
    reserved2 = get16(b + 8);
    offset = get32(b + 10);
    infosize = get32(b + 14);
    width = int32_t(get32(b + 18));
    height = int32_t(get32(b + 22));
    planes = get16(b + 26);
    bits = get16(b + 28);
    compression = get32(b + 30);
    imagesize = get32(b + 34);
    xresolution = int32_t(get32(b + 38));
    yresolution = int32_t(get32(b + 42));
    colorsused = get32(b + 46);
    colorsimportant = get32(b + 50);
}

void bmpheader_t::encode(unsigned char* b) const {
    put16(b, type);
    put32(b + 2, filesize);
    put16(b + 6, reserved1);
    put16(b + 8, reserved2);
    put32(b + 10, offset);
    put32(b + 14, infosize);
    put32(b + 18, uint32_t(width));
    put32(b + 22, uint32_t(height));
    put16(b + 26, planes);
    put16(b + 28, bits);
    put32(b + 30, compression);
    put32(b + 34, imagesize);
    put32(b + 38, uint32_t(xresolution));
    put32(b + 42, uint32_t(yresolution));
    put32(b + 46, colorsused);
    put32(b + 50, colorsimportant);
}

bool bmpheader_t::check(std::ostream& err, const char* path, uint64_t size) const {
    if (type != 0x4D42) return libutils::fail(err, path, ": bmp: not a BMP file.");
    if (infosize < 40) return libutils::fail(err, path, ": bmp: unsupported header size ", infosize, ".");
    if (width <= 0 || width > max_side || height == 0 || height < -max_side || height > max_side)
        return libutils::fail(err, path, ": bmp: width or height out of range.");
    if (bits == 0 || bits > 32) return libutils::fail(err, path, ": bmp: bad bits per pixel ", bits, ".");
    if (offset < size_t(14) + infosize || offset > size)
        return libutils::fail(err, path, ": bmp: pixel data offset out of range.");
    if (rowsize() * rows() > size - offset)
        return libutils::fail(err, path, ": bmp: pixel data past the end of the file.");
    return true;
}

bool bmp_pixels_to_image(image2d_t& image, const bmpheader_t& h, const libutils::bytevector& pixels,
                         const image_desc_t& desc) {
    image.clear();
    image.desc = desc;
    image.store = nullptr;
    image.window = image_window2d_t();
    image.compressed = false;
    image.width = uint32_t(h.width);
    image.height = h.rows();
    image.libutils::bytevector::operator=(pixels);
    if (image.size() < image.bytesize() || image.rowsize() != h.rowsize()) {
        image.clear();
        return false;
    }
    if (h.height > 0) return true;
    image2d_t stored = image;
    return flip(image, stored);
}

bool bmpimage_t::load(const char* path) {
    pixels.clear();
    header = bmpheader_t();
    std::ifstream in(path, std::ios::binary);
    if (!in) return libutils::fail(std::cerr, path, ": file open error, ", std::strerror(errno));
    unsigned char raw[bmpheader_t::size];
    uint64_t size = remaining(in);
    if (!in.read(reinterpret_cast<char*>(raw), sizeof raw))
        return libutils::fail(std::cerr, path, ": bmp: not a BMP file.");
    header.decode(raw);
    if (!header.check(std::cerr, path, size)) return false;
    in.seekg(header.offset);
    uint64_t row = header.rowsize();
    if (!in || !read_rows(pixels, in, header.rows(), row, row))
        return libutils::fail(std::cerr, path, ": bmp: read error.");
    return true;
}

bool bmpimage_t::save(const char* path) {
    const bmpheader_t& h = header;
    unsigned colours = h.bits <= 8 ? 1u << h.bits : 0;
    header.type = 0x4D42;
    header.offset = bmpheader_t::size + 4 * colours;
    header.filesize = uint32_t(header.offset + pixels.size());
    header.reserved1 = header.reserved2 = 0;
    header.infosize = 40;
    header.colorsused = header.colorsimportant = colours;
    unsigned char raw[bmpheader_t::size + 4 * 256];
    header.encode(raw);
    // Grey files get a grey palette: readers take the pixels of 1-, 4- and
    // 8-bit files as palette indexes.
    if (colours) grey_palette(raw + bmpheader_t::size, h.bits);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return libutils::fail(std::cerr, path, ": file open error, ", std::strerror(errno));
    out.write(reinterpret_cast<const char*>(raw), header.offset);
    out.write(reinterpret_cast<const char*>(pixels.begin()), std::streamsize(pixels.size()));
    out.close();
    if (!out) return libutils::fail(std::cerr, path, ": write error, ", std::strerror(errno));
    return true;
}

bool convert(image2d_t& image, const bmpimage_t& bmp) {
    const bmpheader_t& h = bmp.header;
    if (h.compression != 0) return false;
    image_desc_t desc(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    switch (h.bits) {
        case 1: desc.bits = IMAGE_BITS_1; break;
        case 4: desc.bits = IMAGE_BITS_4; break;
        case 8: break;
        case 24: desc.format = IMAGE_FORMAT_BGR; break;
        default: return false;
    }
    return bmp_pixels_to_image(image, h, bmp.pixels, desc);
}

bool convert(bmpimage_t& bmp, const image2d_t& image) {
    const image_desc_t& d = image.desc;
    unsigned bits = 0;
    if (d.format == IMAGE_FORMAT_GRAYSCALE && d.type != IMAGE_TYPE_FLOAT) {
        if (d.bits == IMAGE_BITS_1) bits = 1;
        if (d.bits == IMAGE_BITS_4) bits = 4;
        if (d.bits == IMAGE_BITS_8) bits = 8;
    } else if (d.format == IMAGE_FORMAT_BGR && d.bits == IMAGE_BITS_8) {
        bits = 24;
    }
    if (!bits || image.compressed) return libutils::fail(std::cerr, "convert(to bmp)", ": not supported format.");
    bmpheader_t& h = bmp.header;
    h = bmpheader_t();
    h.width = int32_t(image.width);
    h.height = int32_t(image.height);
    h.planes = 1;
    h.bits = uint16_t(bits);
    h.xresolution = h.yresolution = 72;
    if (!filebytes::rows_with_size(bmp.pixels, image, h.rowsize()))
        return libutils::fail(std::cerr, "convert(to bmp)", ": allocate() fail.");
    h.imagesize = uint32_t(bmp.pixels.size());
    return true;
}

}  // namespace libgr

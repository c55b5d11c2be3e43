#include "libgr/imagefile/tgaimage.h"

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

enum : uint8_t { tga_mapped = 1, tga_truecolour = 2, tga_grey = 3 };

bool refuse(const char* path, const char* what) {
    return libutils::fail(std::cerr, path, ": tga: ", what);
}

bool check(const char* path, const tgaheader_t& h, uint64_t size) {
    if (h.imagetype < tga_mapped || h.imagetype > tga_grey)
        return libutils::fail(std::cerr, path, ": tga: unsupported image type ", unsigned(h.imagetype), ".");
    if (h.width == 0 || h.height == 0) return refuse(path, "width or height is 0.");
    bool ok_depth = h.depth == 8 || h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    if (!ok_depth || (h.imagetype != tga_truecolour && h.depth != 8))
        return libutils::fail(std::cerr, path, ": tga: unsupported pixel depth ", unsigned(h.depth), ".");
    if (h.colormaptype > 1) return refuse(path, "bad colour map type.");
    if (h.imagetype == tga_mapped && (h.colormaptype != 1 || h.colormaplength == 0))
        return refuse(path, "colour-mapped file without a colour map.");
    bool ok_entry = h.colormapbits == 15 || h.colormapbits == 16 || h.colormapbits == 24 ||
                    h.colormapbits == 32;
    if (h.colormaptype && !ok_entry)
        return libutils::fail(std::cerr, path, ": tga: unsupported colour map entry size ",
                              unsigned(h.colormapbits), ".");
    uint64_t mapbytes = h.colormaptype ? uint64_t(h.colormaplength) * ((h.colormapbits + 7) / 8) : 0;
    if (uint64_t(h.idlength) + mapbytes + h.filerow() * h.height > size)
        return refuse(path, "pixel data past the end of the file.");
    return true;
}

// One 16-bit colour (A1 R5 G5 B5, little-endian) as 8-bit blue, green, red.
void bgr_of_16(unsigned char* out, const unsigned char* in) {
    unsigned v = get16(in);
    out[0] = (unsigned char)(((v & 31) * 255 + 15) / 31);
    out[1] = (unsigned char)(((v >> 5 & 31) * 255 + 15) / 31);
    out[2] = (unsigned char)(((v >> 10 & 31) * 255 + 15) / 31);
}

// The colour map as a palette indexed by pixel value (entries before the
// first mapped one are black).
bool make_palette(palette_t& palette, const tgaimage_t& tga) {
    const tgaheader_t& h = tga.header;
    unsigned bytes = (h.colormapbits + 7) / 8;
    uint64_t n = std::min<uint64_t>(256, uint64_t(h.colormapfirst) + h.colormaplength);
    if (!palette.resize(n)) return false;
    for (uint64_t i = 0; i < n; ++i) {
        unsigned char bgr[3] = {0, 0, 0};
        if (i >= h.colormapfirst) {
            const unsigned char* e = tga.colormap.data() + (i - h.colormapfirst) * bytes;
            if (bytes == 2) bgr_of_16(bgr, e);
            else std::memcpy(bgr, e, 3);
        }
        *palette.blue[i] = (unsigned short)(bgr[0] * 257);
        *palette.green[i] = (unsigned short)(bgr[1] * 257);
        *palette.red[i] = (unsigned short)(bgr[2] * 257);
    }
    return true;
}

}  // namespace

void tgaheader_t::decode(const unsigned char* b) {
    idlength = b[0];
    colormaptype = b[1];
    imagetype = b[2];
    colormapfirst = get16(b + 3);
    colormaplength = get16(b + 5);
    colormapbits = b[7];
    xorigin = get16(b + 8);
    yorigin = get16(b + 10);
    width = get16(b + 12);
    height = get16(b + 14);
    depth = b[16];
    descriptor = b[17];
}

void tgaheader_t::encode(unsigned char* b) const {
    b[0] = idlength;
    b[1] = colormaptype;
    b[2] = imagetype;
    put16(b + 3, colormapfirst);
    put16(b + 5, colormaplength);
    b[7] = colormapbits;
    put16(b + 8, xorigin);
    put16(b + 10, yorigin);
    put16(b + 12, width);
    put16(b + 14, height);
    b[16] = depth;
    b[17] = descriptor;
}

bool tgaimage_t::load(const char* path) {
    header = tgaheader_t();
    id.clear();
    colormap.clear();
    pixels.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return libutils::fail(std::cerr, path, ": file open error, ", std::strerror(errno));
    uint64_t size = remaining(in);
    unsigned char raw[tgaheader_t::size];
    if (!in.read(reinterpret_cast<char*>(raw), sizeof raw)) return refuse(path, "short header.");
    header.decode(raw);
    if (!check(path, header, size - sizeof raw)) return false;
    id.resize(header.idlength);
    colormap.resize(header.colormaptype ? header.colormaplength * ((header.colormapbits + 7) / 8) : 0);
    in.read(reinterpret_cast<char*>(id.data()), std::streamsize(id.size()));
    in.read(reinterpret_cast<char*>(colormap.data()), std::streamsize(colormap.size()));
    if (!in || !read_rows(pixels, in, header.height, header.filerow(), header.memrow()))
        return refuse(path, "read error.");
    return true;
}

bool tgaimage_t::save(const char* path) {
    header.idlength = uint8_t(std::min<size_t>(id.size(), 255));
    header.colormaptype = 0;
    header.colormapfirst = header.colormaplength = 0;
    header.colormapbits = 0;
    unsigned char raw[tgaheader_t::size];
    header.encode(raw);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return libutils::fail(std::cerr, path, ": file open error, ", std::strerror(errno));
    out.write(reinterpret_cast<const char*>(raw), sizeof raw);
    out.write(reinterpret_cast<const char*>(id.data()), header.idlength);
    uint64_t filerow = header.filerow(), memrow = header.memrow();
    if (pixels.size() < memrow * header.height) return refuse(path, "no pixels to write.");
    for (uint32_t y = 0; y < header.height; ++y)
        out.write(reinterpret_cast<const char*>(pixels.begin() + y * memrow), std::streamsize(filerow));
    out.close();
    if (!out) return libutils::fail(std::cerr, path, ": write error, ", std::strerror(errno));
    return true;
}

bool convert(image2d_t& image, const tgaimage_t& tga) {
    const tgaheader_t& h = tga.header;
    image.clear();
    if (h.imagetype < tga_mapped || h.imagetype > tga_grey) return false;
    // Bit 0x20: rows stored top first; 0x10: right to left.
    if (h.descriptor & 0x30) return false;
    image_desc_t desc(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    switch (h.depth) {
        case 8: if (h.imagetype == tga_mapped) desc.format = IMAGE_FORMAT_INDEX; break;
        case 15:
        case 16: desc = image_desc_t(IMAGE_FORMAT_BGRA, IMAGE_TYPE_UINT, IMAGE_BITS_R5G5B5A1); break;
        case 24: desc.format = IMAGE_FORMAT_BGR; break;
        case 32: desc.format = IMAGE_FORMAT_BGRA; break;
        default: return false;
    }
    image.desc = desc;
    image.store = nullptr;
    image.window = image_window2d_t();
    image.compressed = false;
    image.width = h.width;
    image.height = h.height;
    image.libutils::bytevector::operator=(tga.pixels);
    if (image.size() < image.bytesize() || image.rowsize() != h.memrow() ||
        (desc.format == IMAGE_FORMAT_INDEX && !make_palette(image.palette, tga))) {
        image.clear();
        return false;
    }
    return true;
}

bool convert(tgaimage_t& tga, const image2d_t& image) {
    const image_desc_t& d = image.desc;
    bool bytes = d.type == IMAGE_TYPE_UINT && d.bits == IMAGE_BITS_8;
    tgaheader_t& h = tga.header;
    h = tgaheader_t();
    h.imagetype = tga_truecolour;
    image2d_t source;
    if (bytes && (d.format == IMAGE_FORMAT_RGB || d.format == IMAGE_FORMAT_BGR)) {
        h.depth = 24;
    } else if (bytes && (d.format == IMAGE_FORMAT_RGBA || d.format == IMAGE_FORMAT_BGRA)) {
        h.depth = 32;
        h.descriptor = 8;  // bits of alpha
    } else if (d.format == IMAGE_FORMAT_BGRA && d.bits == IMAGE_BITS_R5G5B5A1) {
        h.depth = 16;
        h.descriptor = 1;
    } else if (bytes && d.format == IMAGE_FORMAT_GRAYSCALE) {
        h.depth = 8;
        h.imagetype = tga_grey;
    }
    if (!h.depth || image.compressed || image.width > 0xFFFF || image.height > 0xFFFF)
        return libutils::fail(std::cerr, "convert(to tga)", ": not supported format.");
    h.width = uint16_t(image.width);
    h.height = uint16_t(image.height);
    if (!rgb2bgr(source, image) || !rows_with_size(tga.pixels, source, h.memrow()))
        return libutils::fail(std::cerr, "convert(to tga)", ": allocate() fail.");
    return true;
}

}  // namespace libgr

#include "libgr/imagefile/bmpimage2.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "libgr/imagefile/filebytes.h"
#include "libutils/error.h"

namespace libgr {

using namespace filebytes;

namespace {

enum : uint32_t { bi_rgb = 0, bi_bitfields = 3, bi_alphabitfields = 6 };

// Bit fields that describe plain BGRA bytes: the only ones taken.
bool plain_bgra_fields(const bmpimage2_t& bmp) {
    if (bmp.header.bits != 32 || bmp.fileheader.size() < bmpheader_t::size + 12) return false;
    const unsigned char* f = bmp.fileheader.begin() + bmpheader_t::size;
    return get32(f) == 0x00FF0000 && get32(f + 4) == 0x0000FF00 && get32(f + 8) == 0x000000FF;
}

}  // namespace

bool bmpimage2_t::load(const char* path) {
    header = bmpheader_t();
    libutils::bytevector file;
    struct stat st;
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.load(0, path, libutils::prot_read, 0, false))
        return libutils::fail(std::cerr, path, ": file open error, ", std::strerror(errno ? errno : EINVAL));
    if (file.size() < bmpheader_t::size) return libutils::fail(std::cerr, path, ": bmp: not a BMP file.");
    header.decode(file.begin());
    if (!header.check(std::cerr, path, file.size())) return false;
    // The palette follows the information header (and the three or four
    // masks that a 40-byte header with bit fields is followed by) and runs up
    // to the pixel data.
    uint64_t start = 14 + uint64_t(header.infosize);
    if (header.infosize == 40 && header.compression == bi_bitfields) start += 12;
    if (header.infosize == 40 && header.compression == bi_alphabitfields) start += 16;
    if (start > header.offset) start = header.offset;
    uint64_t entries = (header.offset - start) / 4;
    if (header.colorsused && header.colorsused < entries) entries = header.colorsused;
    fileheader.setwindow(file, 0, header.offset);
    infoheader.setwindow(file, 14, header.infosize);
    palette.setwindow(file, start, entries * 4);
    pixels.setwindow(file, header.offset, libutils::bytevector::npos);
    return true;
}

bool convert(image2d_t& image, const bmpimage2_t& bmp) {
    const bmpheader_t& h = bmp.header;
    bool fields = h.compression == bi_bitfields || h.compression == bi_alphabitfields;
    if (h.compression != bi_rgb && !(fields && plain_bgra_fields(bmp))) return false;
    uint64_t entries = bmp.palette.size() / 4;
    image_desc_t desc(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    switch (h.bits) {
        case 1: desc.bits = IMAGE_BITS_1; break;
        case 4: desc.bits = IMAGE_BITS_4; break;
        case 8: break;
        case 24: desc.format = IMAGE_FORMAT_BGR; entries = 0; break;
        case 32: desc.format = IMAGE_FORMAT_BGRA; entries = 0; break;
        default: return false;
    }
    if (entries) desc.format = IMAGE_FORMAT_INDEX;
    if (!bmp_pixels_to_image(image, h, bmp.pixels, desc)) return false;
    if (entries) {
        if (!image.palette.resize(entries)) return false;
        const unsigned char* p = bmp.palette.begin();
        for (uint64_t i = 0; i < entries; ++i, p += 4) {
            *image.palette.blue[i] = (unsigned short)(p[0] * 257);
            *image.palette.green[i] = (unsigned short)(p[1] * 257);
            *image.palette.red[i] = (unsigned short)(p[2] * 257);
        }
    }
    return true;
}

}  // namespace libgr

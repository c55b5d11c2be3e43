#include "libgr/imagefile/pngfile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <vector>

#include "libutils/error.h"

namespace libgr {

namespace {

// Stores of decoded pictures: rows aligned to 4 bytes; 16-bit samples arrive
// big-endian, so OpenGL must swap them on this little-endian host.
image_store_t s_png_store;
image_store_t s_png_store16 = {true, 4};

struct io_t {
    const char* path;
};

void on_error(png_structp png, png_const_charp message) {
    const io_t* io = static_cast<const io_t*>(png_get_error_ptr(png));
    libutils::report(std::cerr, io->path, ": png: ", message, ", FAIL");
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {
    // Warnings (unknown chunks, odd colour profiles) do not stop the picture.
}

struct layout_t {
    int colour_type;
    e_image_format_t format;
};
const layout_t s_layouts[] = {
    {PNG_COLOR_TYPE_GRAY, IMAGE_FORMAT_GRAYSCALE},
    {PNG_COLOR_TYPE_RGB, IMAGE_FORMAT_RGB},
    {PNG_COLOR_TYPE_PALETTE, IMAGE_FORMAT_INDEX},
    {PNG_COLOR_TYPE_GRAY_ALPHA, IMAGE_FORMAT_GRAYSCALE_ALPHA},
    {PNG_COLOR_TYPE_RGB_ALPHA, IMAGE_FORMAT_RGBA},
};

struct depth_t {
    int depth;
    e_image_bits_t bits;
};
const depth_t s_depths[] = {
    {1, IMAGE_BITS_1}, {2, IMAGE_BITS_2}, {4, IMAGE_BITS_4}, {8, IMAGE_BITS_8}, {16, IMAGE_BITS_16},
};

uint64_t power_of_two_at_least(uint64_t n) {
    uint64_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

bool set_palette(image2d_t& image, png_structp png, png_infop info) {
    png_colorp colours = nullptr;
    int n = 0;
    if (!png_get_PLTE(png, info, &colours, &n) || n <= 0) return true;
    if (!image.palette.resize(power_of_two_at_least(uint64_t(n)))) return false;
    for (uint64_t i = 0; i < image.palette.size(); ++i) {
        bool set = i < uint64_t(n);
        *image.palette.red[i] = set ? (unsigned short)(colours[i].red * 257) : 0;
        *image.palette.green[i] = set ? (unsigned short)(colours[i].green * 257) : 0;
        *image.palette.blue[i] = set ? (unsigned short)(colours[i].blue * 257) : 0;
    }
    return true;
}

// libpng allocates a chunk's declared length before it reads the chunk (its
// allocation limit does not cover text chunks): a 40-byte file declaring a
// 1 GB tEXt chunk would cost 1 GB. So every chunk up to IEND must fit in the
// file. Leaves the file positioned after the 4 signature bytes read before.
bool chunks_fit_in_file(FILE* fp) {
    if (std::fseek(fp, 0, SEEK_END) != 0) return false;
    long end = std::ftell(fp);
    if (end < 0) return false;
    const uint64_t size = uint64_t(end);
    bool fit = true;
    for (uint64_t pos = 8; fit && pos + 8 <= size;) {
        unsigned char head[8];
        if (std::fseek(fp, long(pos), SEEK_SET) != 0 || std::fread(head, 1, 8, fp) != 8) break;
        uint64_t length = uint64_t(head[0]) << 24 | uint64_t(head[1]) << 16 |
                          uint64_t(head[2]) << 8 | head[3];
        fit = length <= 0x7fffffffu && pos + 12 + length <= size;
        if (std::memcmp(head + 4, "IEND", 4) == 0) break;
        pos += 12 + length;
    }
    return std::fseek(fp, 4, SEEK_SET) == 0 && fit;
}

// The body of loadpng once the signature has been read; longjmps on errors.
int read_png(png_structp png, png_infop info, image2d_t& image, const char* path,
             std::vector<png_bytep>& rows) {
    png_read_info(png, info);
    png_uint_32 width, height;
    int depth, colour_type, interlace;
    png_get_IHDR(png, info, &width, &height, &depth, &colour_type, &interlace, nullptr, nullptr);
    image_desc_t desc(IMAGE_FORMAT_MAX, IMAGE_TYPE_UINT, IMAGE_BITS_MAX);
    for (const layout_t& l : s_layouts)
        if (l.colour_type == colour_type) desc.format = l.format;
    for (const depth_t& d : s_depths)
        if (d.depth == depth) desc.bits = d.bits;
    if (desc.format == IMAGE_FORMAT_MAX) {
        libutils::report(std::cerr, "colortype: ", colour_type);
        return -4;
    }
    if (desc.bits == IMAGE_BITS_MAX) return -4;  // libpng refuses such files itself
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    image.desc = desc;
    image.store = depth == 16 ? &s_png_store16 : &s_png_store;
    image.window = image_window2d_t();
    image.compressed = false;
    image.width = width;
    image.height = height;
    if (!image.allocate() || png_get_rowbytes(png, info) > image.rowsize()) {
        libutils::report(std::cerr, path, ": allocate() fail.");
        return -4;
    }
    if (colour_type == PNG_COLOR_TYPE_PALETTE && !set_palette(image, png, info)) return -4;
    rows.resize(height);
    for (png_uint_32 i = 0; i < height; ++i) rows[i] = image[height - 1 - i];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return 0;
}

// The PNG colour type and bit depth for a picture, or false.
bool png_layout(const image_desc_t& desc, int& colour_type, int& depth) {
    colour_type = -1;
    depth = 0;
    for (const layout_t& l : s_layouts)
        if (l.format == desc.format) colour_type = l.colour_type;
    for (const depth_t& d : s_depths)
        if (d.bits == desc.bits) depth = d.depth;
    if (colour_type < 0 || !depth || desc.type == IMAGE_TYPE_FLOAT) return false;
    switch (colour_type) {
        case PNG_COLOR_TYPE_GRAY: return true;
        case PNG_COLOR_TYPE_PALETTE: return depth <= 8;
        default: return depth >= 8;
    }
}

void write_png(png_structp png, png_infop info, const image2d_t& image, const char* title,
               int colour_type, int depth, std::vector<png_bytep>& rows) {
    png_set_IHDR(png, info, image.width, image.height, depth, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> plte(std::min<uint64_t>(image.palette.size(), uint64_t(1) << depth));
        for (size_t i = 0; i < plte.size(); ++i) {
            plte[i].red = png_byte(*image.palette.red[i] >> 8);
            plte[i].green = png_byte(*image.palette.green[i] >> 8);
            plte[i].blue = png_byte(*image.palette.blue[i] >> 8);
        }
        png_set_PLTE(png, info, plte.data(), int(plte.size()));
    } else {
        png_color_8 sig = {};
        png_byte d = png_byte(depth);
        if (colour_type & PNG_COLOR_MASK_COLOR) sig.red = sig.green = sig.blue = d;
        else sig.gray = d;
        if (colour_type & PNG_COLOR_MASK_ALPHA) sig.alpha = d;
        png_set_sBIT(png, info, &sig);
    }
    if (title) {
        png_text text = {};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>("Title");
        text.text = const_cast<png_charp>(title);
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);
    // 16-bit samples held in this host's order are swapped into PNG's.
    if (depth == 16 && !(image.store && image.store->swap_bytes)) png_set_swap(png);
    rows.resize(image.height);
    for (uint32_t i = 0; i < image.height; ++i)
        rows[i] = const_cast<png_bytep>(image[image.height - 1 - i]);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
}

// write_png under libpng's error jump: 0, or -4 after a libpng error.
int guarded_write(png_structp png, png_infop info, FILE* fp, const image2d_t& image,
                  const char* title, int colour_type, int depth, std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return -4;
    png_init_io(png, fp);
    write_png(png, info, image, title, colour_type, depth, rows);
    return 0;
}

}  // namespace

bool check_png_version() {
    const char* running = png_get_libpng_ver(nullptr);
    if (running && std::strcmp(running, PNG_LIBPNG_VER_STRING) == 0) return true;
    libutils::report(std::cerr, "libpng version different.");
    libutils::report(std::cerr, "  header: ", PNG_LIBPNG_VER_STRING);
    libutils::report(std::cerr, "  source: ", running ? running : "(none)");
    return false;
}

bool check_if_png(const char* path, std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return libutils::fail(err, path, ": file open error, ", std::strerror(errno));
    unsigned char sig[4];
    return in.read(reinterpret_cast<char*>(sig), 4) && png_sig_cmp(sig, 0, 4) == 0;
}

int loadpng(const char* path, image2d_t& image) {
    FILE* fp = std::fopen(path, "rb");
    if (!fp) {
        libutils::report(std::cerr, path, ": file open error, ", std::strerror(errno));
        return -1;
    }
    unsigned char sig[4];
    if (std::fread(sig, 1, 4, fp) != 4 || png_sig_cmp(sig, 0, 4) != 0) {
        std::fclose(fp);
        return -1;
    }
    if (!chunks_fit_in_file(fp)) {
        libutils::report(std::cerr, path, ": png: chunk longer than the file, FAIL");
        std::fclose(fp);
        return -4;
    }
    io_t io = {path};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, on_error, on_warning);
    if (!png) {
        std::fclose(fp);
        return -2;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::fclose(fp);
        return -3;
    }
    std::vector<png_bytep> rows;  // outlives a longjmp out of read_png
    int result;
    if (setjmp(png_jmpbuf(png))) {
        result = -4;
    } else {
        png_init_io(png, fp);
        png_set_sig_bytes(png, 4);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        // Mutated chunks never carry the right checksum: decode them anyway.
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        // Nor the zlib stream's Adler-32 at the end of the pixel data.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
        result = read_png(png, info, image, path, rows);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(fp);
    if (result != 0) image.clear();
    return result;
}

int savepng(const char* path, const image2d_t& image, const char* title) {
    int colour_type, depth;
    if (!png_layout(image.desc, colour_type, depth) || image.compressed || !image.width ||
        !image.height || image.size() < image.bytesize() ||
        (colour_type == PNG_COLOR_TYPE_PALETTE && image.palette.size() == 0)) {
        libutils::report(std::cerr, path, ": png: picture layout not supported.");
        return -5;
    }
    FILE* fp = std::fopen(path, "wb");
    if (!fp) {
        libutils::report(std::cerr, path, ": file open error, ", std::strerror(errno));
        return -1;
    }
    io_t io = {path};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, on_error, on_warning);
    if (!png) {
        std::fclose(fp);
        return -2;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(fp);
        return -3;
    }
    std::vector<png_bytep> rows;
    int result = guarded_write(png, info, fp, image, title, colour_type, depth, rows);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(fp) != 0 && result == 0) {
        libutils::report(std::cerr, path, ": write error, ", std::strerror(errno));
        result = -4;
    }
    if (result != 0) std::remove(path);  // no half-written file stays behind
    return result;
}

bool loader_png(image2d_t& image, const char* path) {
    image.clear();
    return check_png_version() && loadpng(path, image) == 0;
}

bool saver_png(const image2d_t& image, const char* path) {
    return check_png_version() && savepng(path, image, nullptr) == 0;
}

bool image_png_t::load(image2d_t& image, const char* path) {
    m_rightrotatecount = 0;
    return loader_png(image, path);
}

bool image_png_t::save(const image2d_t& image, const char* path) {
    return saver_png(image, path);
}

}  // namespace libgr

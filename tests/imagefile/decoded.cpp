#include "decoded.h"

#include "support/testenv.h"

namespace decoded {

namespace {

void put16(std::string& out, unsigned v) {
    out += char(v >> 8);
    out += char(v & 255);
}

// Component i of pixel x of a row of n components of b bits (sub-byte
// samples packed high bit first).
unsigned sample(const unsigned char* row, uint32_t x, unsigned n, unsigned i, unsigned b,
                bool big_endian) {
    uint64_t bit = (uint64_t(x) * n + i) * b;
    if (b < 8) return (row[bit / 8] >> (8 - b - bit % 8)) & ((1u << b) - 1);
    if (b == 8) return row[bit / 8];
    const unsigned char* p = row + bit / 8;
    return big_endian ? unsigned(p[0] << 8 | p[1]) : unsigned(p[1] << 8 | p[0]);
}

unsigned widen(unsigned v, unsigned bits) {
    unsigned max = (1u << bits) - 1;
    return unsigned((uint64_t(v) * 65535 + max / 2) / max);
}

}  // namespace

std::string rgba16(const libgr::image2d_t& image) {
    using namespace libgr;
    std::string out;
    const image_desc_t& d = image.desc;
    bool packed16 = d.bits == IMAGE_BITS_R5G5B5A1;
    unsigned b = s_image_bits_list[d.bits].bits, n = d.components();
    bool big = image.store && image.store->swap_bytes;
    for (uint32_t y = image.height; y-- > 0;) {
        const unsigned char* row = image[y];
        for (uint32_t x = 0; x < image.width; ++x) {
            unsigned c[4] = {0, 0, 0, 65535};
            auto s = [&](unsigned i) { return widen(sample(row, x, n, i, b, big), b); };
            if (packed16) {
                unsigned v = row[2 * x] | row[2 * x + 1] << 8;
                c[0] = widen(v >> 10 & 31, 5), c[1] = widen(v >> 5 & 31, 5), c[2] = widen(v & 31, 5);
            } else if (d.format == IMAGE_FORMAT_INDEX) {
                unsigned v = sample(row, x, 1, 0, b, big);
                if (v >= image.palette.size()) return std::string();
                c[0] = *image.palette.red[v], c[1] = *image.palette.green[v], c[2] = *image.palette.blue[v];
            } else if (d.format == IMAGE_FORMAT_GRAYSCALE || d.format == IMAGE_FORMAT_GRAYSCALE_ALPHA) {
                c[0] = c[1] = c[2] = s(0);
                if (n == 2) c[3] = s(1);
            } else if (d.format == IMAGE_FORMAT_RGB || d.format == IMAGE_FORMAT_RGBA) {
                for (unsigned i = 0; i < n; ++i) c[i] = s(i);
            } else if (d.format == IMAGE_FORMAT_BGR || d.format == IMAGE_FORMAT_BGRA) {
                for (unsigned i = 0; i < n; ++i) c[i] = s(i);
                std::swap(c[0], c[2]);
            } else {
                return std::string();
            }
            for (unsigned v : c) put16(out, v);
        }
    }
    return out;
}

std::string magick_rgba16(const std::string& path) {
    std::string out;
    if (testenv::run("convert " + testenv::shell_quote(path) + " -depth 16 -endian MSB rgba:- 2>/dev/null", &out) != 0)
        return std::string();
    return out;
}

std::string ffmpeg_rgba8(const std::string& path) {
    std::string out;
    if (testenv::run("ffmpeg -nostdin -v error -i " + testenv::shell_quote(path) +
                         " -f rawvideo -pix_fmt rgba -", &out) != 0)
        return std::string();
    return out;
}

std::string to8(const std::string& rgba16) {
    std::string out;
    for (size_t i = 0; i < rgba16.size(); i += 2) out += rgba16[i];
    return out;
}

bool magick(const std::string& args) {
    return testenv::run("convert " + args + " 2>/dev/null") == 0;
}

}  // namespace decoded

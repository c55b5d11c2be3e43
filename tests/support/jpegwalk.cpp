#include "support/jpegwalk.h"

#include <algorithm>

#include "support/testenv.h"

namespace jpegwalk {

std::vector<segment_t> segments(const unsigned char* d, size_t size, size_t start) {
    std::vector<segment_t> out;
    size_t p = start;
    while (p + 4 <= size && d[p] == 0xFF) {
        unsigned code = d[p + 1];
        if (code == 0xFF) {  // fill byte
            ++p;
            continue;
        }
        if (code == 0xD9) break;
        size_t len = size_t(d[p + 2]) << 8 | d[p + 3];
        if (len < 2 || p + 2 + len > size) break;
        segment_t s;
        s.code = code;
        s.offset = p;
        s.payload.assign(reinterpret_cast<const char*>(d) + p + 4, len - 2);
        out.push_back(std::move(s));
        if (code == 0xDA) break;
        p += 2 + len;
    }
    return out;
}

std::vector<segment_t> segments(const std::string& bytes, size_t start) {
    return segments(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), start);
}

std::vector<segment_t> segments(const std::vector<unsigned char>& bytes, size_t start) {
    return segments(bytes.data(), bytes.size(), start);
}

int header_t::app_count(unsigned code) const {
    return int(std::count_if(segments.begin(), segments.end(),
                             [code](const segment_t& s) { return s.code == code; }));
}

int header_t::metadata_count() const {
    return int(std::count_if(segments.begin(), segments.end(),
                             [](const segment_t& s) { return is_metadata(s.code); }));
}

const segment_t* header_t::find(unsigned code) const {
    for (const auto& s : segments)
        if (s.code == code) return &s;
    return nullptr;
}

header_t header_of(const std::string& b) {
    header_t h;
    if (b.size() < 4 || (unsigned char)b[0] != 0xFF || (unsigned char)b[1] != 0xD8) return h;
    for (segment_t& s : segments(b)) {
        const std::string& p = s.payload;
        bool frame = s.code >= 0xC0 && s.code <= 0xCF && s.code != 0xC4 && s.code != 0xC8 &&
                     s.code != 0xCC;
        if (frame && p.size() >= 6) {
            h.height = ((unsigned char)p[1] << 8) | (unsigned char)p[2];
            h.width = ((unsigned char)p[3] << 8) | (unsigned char)p[4];
            int hmax = 1, vmax = 1;
            for (size_t c = 0; c < (unsigned char)p[5] && 8 + 3 * c < p.size(); ++c) {
                hmax = std::max(hmax, ((unsigned char)p[7 + 3 * c]) >> 4);
                vmax = std::max(vmax, ((unsigned char)p[7 + 3 * c]) & 15);
            }
            h.mcu_width = 8 * hmax;
            h.mcu_height = 8 * vmax;
        }
        if (s.code == 0xDA) {
            h.ok = h.width > 0;
            return h;
        }
        h.segments.push_back(std::move(s));
    }
    return h;
}

header_t header_of_file(const std::string& path) {
    return header_of(testenv::read_file(path));
}

}  // namespace jpegwalk

#include "jpegtest.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/testenv.h"

namespace jpegtest {

testing::AssertionResult same_pixels(const libgr::image2d_t& image, const pnm_t& ref) {
    int comps = int(image.desc.getPixelBits() / 8);
    if (int(image.width) != ref.width || int(image.height) != ref.height || comps != ref.channels)
        return testing::AssertionFailure()
               << "size " << image.width << "x" << image.height << "x" << comps << " vs "
               << ref.width << "x" << ref.height << "x" << ref.channels;
    size_t used = size_t(ref.width) * comps;
    if (image.size() < image.bytesize())
        return testing::AssertionFailure() << "buffer of " << image.size() << " bytes";
    for (int y = 0; y < ref.height; ++y) {
        // Row 0 of the picture is the bottom row.
        const unsigned char* ours = image[uint64_t(ref.height - 1 - y)];
        if (std::memcmp(ours, ref.row(y), used) != 0) {
            size_t x = 0;
            while (ours[x] == ref.row(y)[x]) ++x;
            return testing::AssertionFailure()
                   << "row " << y << " from the top differs at byte " << x << ": " << int(ours[x])
                   << " vs " << int(ref.row(y)[x]);
        }
        for (size_t i = used; i < image.rowsize(); ++i)
            if (ours[i] != 0) return testing::AssertionFailure() << "padding of row " << y;
    }
    return testing::AssertionSuccess();
}

void set_bytes(libgr::jpegdata_t& data, const std::vector<unsigned char>& bytes, const char* name) {
    data.clear();
    data.resize(bytes.size());
    if (!bytes.empty()) std::memcpy(data.begin(), bytes.data(), bytes.size());
    data.name = name;
}

std::vector<unsigned char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

bool write_bytes(const std::string& path, const unsigned char* p, size_t n) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(p), std::streamsize(n));
    return bool(out);
}

std::string test_name(const std::string& path) {
    std::string base = path.substr(path.rfind('/') + 1), out;
    for (char c : base) out += std::isalnum((unsigned char)c) ? c : '_';
    return out;
}

long exiftool_number(const std::string& json, const std::string& key) {
    size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return -1;
    at += key.size() + 3;
    while (at < json.size() && json[at] == ' ') ++at;
    return std::strtol(json.c_str() + at, nullptr, 10);
}

}  // namespace jpegtest

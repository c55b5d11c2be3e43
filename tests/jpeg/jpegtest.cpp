#include "jpegtest.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/testenv.h"

namespace jpegtest {

bool parse_pnm(const std::string& bytes, pnm_t& out) {
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    in >> magic >> out.width >> out.height >> maxval;
    if (!in || (magic != "P5" && magic != "P6") || maxval != 255) return false;
    in.get();  // the single white-space byte before the pixels
    out.components = magic == "P5" ? 1 : 3;
    size_t n = size_t(out.width) * out.height * out.components;
    size_t start = size_t(in.tellg());
    if (bytes.size() < start + n) return false;
    out.pixels.assign(bytes.begin() + start, bytes.begin() + start + n);
    return true;
}

int djpeg(const std::string& path, pnm_t& out, std::string* messages) {
    std::string dir = testenv::scratch_dir("djpeg");
    std::string pnm = dir + "/out.pnm", err = dir + "/err.txt";
    int status =
        testenv::run("djpeg -pnm " + testenv::shell_quote(path) + " > " + pnm + " 2> " + err);
    out = pnm_t();
    parse_pnm(testenv::read_file(pnm), out);
    if (messages) *messages = testenv::read_file(err);
    testenv::run("rm -rf " + testenv::shell_quote(dir));
    return status;
}

testing::AssertionResult same_pixels(const libgr::image2d_t& image, const pnm_t& ref) {
    int comps = int(image.desc.getPixelBits() / 8);
    if (int(image.width) != ref.width || int(image.height) != ref.height || comps != ref.components)
        return testing::AssertionFailure()
               << "size " << image.width << "x" << image.height << "x" << comps << " vs "
               << ref.width << "x" << ref.height << "x" << ref.components;
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

std::vector<segment_t> segments(const std::vector<unsigned char>& b) {
    std::vector<segment_t> out;
    size_t p = 2;
    while (p + 4 <= b.size()) {
        if (b[p] != 0xFF) break;
        unsigned char code = b[p + 1];
        if (code == 0xFF) {  // fill byte
            ++p;
            continue;
        }
        if (code == 0xD9 || code == 0xDA) break;
        size_t len = size_t(b[p + 2]) << 8 | b[p + 3];
        if (len < 2 || p + 2 + len > b.size()) break;
        segment_t s;
        s.code = code;
        s.offset = p;
        s.payload.assign(b.begin() + p + 4, b.begin() + p + 2 + len);
        out.push_back(s);
        p += 2 + len;
    }
    return out;
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

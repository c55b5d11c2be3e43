#include "libgr/jpeg/exifdir.h"

#include <cstring>

namespace libgr {
namespace exifdir {

namespace {

std::vector<uint16_t> u16s(const bytevector& v, const byteorder& bo) {
    std::vector<uint16_t> out;
    for (uint64_t i = 0; i + 2 <= v.size(); i += 2) out.push_back(read16(v, i, bo));
    return out;
}

std::vector<uint32_t> u32s(const bytevector& v, const byteorder& bo) {
    std::vector<uint32_t> out;
    for (uint64_t i = 0; i + 4 <= v.size(); i += 4) out.push_back(read32(v, i, bo));
    return out;
}

}  // namespace

void set_u16(std::vector<uint16_t>& field, const bytevector& value, const byteorder& bo) {
    if (value.size() == 2) field = u16s(value, bo);
}

void set_u16_pair(std::vector<uint16_t>& field, const bytevector& value, const byteorder& bo) {
    if (value.size() == 4) field = u16s(value, bo);
}

void set_u16_one_or_two(std::vector<uint16_t>& field, const bytevector& value,
                        const byteorder& bo) {
    if (value.size() == 2 || value.size() == 4) field = u16s(value, bo);
}

void set_u32(std::vector<uint32_t>& field, const bytevector& value, const byteorder& bo) {
    if (value.size() == 4) field = u32s(value, bo);
}

void set_u32_pair(std::vector<uint32_t>& field, const bytevector& value, const byteorder& bo) {
    if (value.size() == 8) field = u32s(value, bo);
}

void set_rational(std::vector<ExifType::rational_t>& field, const bytevector& value,
                  const byteorder& bo) {
    if (value.size() != 8) return;
    ExifType::rational_t r;
    r.numerator = read32(value, 0, bo);
    r.denominator = read32(value, 4, bo);
    field.assign(1, r);
}

void set_srational(std::vector<ExifType::srational_t>& field, const bytevector& value,
                   const byteorder& bo) {
    if (value.size() != 8) return;
    ExifType::srational_t r;
    r.numerator = int32_t(read32(value, 0, bo));
    r.denominator = int32_t(read32(value, 4, bo));
    field.assign(1, r);
}

std::string text_upto_nul(const bytevector& value, uint64_t limit) {
    const char* p = reinterpret_cast<const char*>(value.begin());
    uint64_t n = std::min<uint64_t>(value.size(), limit);
    if (!p || n == 0) return std::string();
    const void* nul = std::memchr(p, 0, n);
    return std::string(p, nul ? static_cast<const char*>(nul) - p : n);
}

std::string bytes_of(const bytevector& value) {
    const char* p = reinterpret_cast<const char*>(value.begin());
    return p ? std::string(p, value.size()) : std::string();
}

}  // namespace exifdir
}  // namespace libgr

// Reading TIFF directories: entries, value windows and typed values. Every
// read is bounded by the window it comes from; callers check that an entry
// or a value lies inside before they take it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "libgr/jpeg/exiftype.h"
#include "libutils/byteorder.h"
#include "libutils/refvector.h"

namespace libgr {
namespace exifdir {

using libutils::byteorder;
using libutils::bytevector;

constexpr uint64_t entry_size = 12;

// The size in bytes of `count` entries plus the count itself.
inline uint64_t directory_size(uint64_t count) {
    return 2 + entry_size * count;
}

struct entry_t {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint32_t field = 0;  // the value itself (inline) or its offset
    uint64_t size = 0;   // count x type size; 0 for an invalid type
    bool valid_type() const { return type < ExifType::exiftype_count; }
    bool is_inline() const { return size <= 4; }
};

// The 16-bit value at `pos`, or 0 when the window holds fewer bytes.
inline uint16_t read16(const bytevector& w, uint64_t pos, const byteorder& bo) {
    if (pos + 2 > w.size()) return 0;
    return bo.tohs(libutils::get_short(w.begin() + pos));
}
inline uint32_t read32(const bytevector& w, uint64_t pos, const byteorder& bo) {
    if (pos + 4 > w.size()) return 0;
    return bo.tohl(libutils::get_long(w.begin() + pos));
}

// Entry i of a directory; the caller has checked that it lies in the window.
inline entry_t entry_at(const bytevector& dir, uint64_t i, const byteorder& bo) {
    uint64_t pos = 2 + entry_size * i;
    entry_t e;
    e.tag = read16(dir, pos, bo);
    e.type = read16(dir, pos + 2, bo);
    e.count = read32(dir, pos + 4, bo);
    e.field = read32(dir, pos + 8, bo);
    e.size = e.valid_type() ? uint64_t(e.count) * ExifType::exiftypesize[e.type] : 0;
    return e;
}

// Where an inline value sits within its directory.
inline uint64_t inline_position(uint64_t i) {
    return 2 + entry_size * i + 8;
}

inline bytevector window(const bytevector& source, uint64_t offset, uint64_t length) {
    bytevector w;
    w.setwindow(source, offset, length);
    return w;
}

// Typed values: each takes the value only when its size is as expected.
void set_u16(std::vector<uint16_t>& field, const bytevector& value, const byteorder& bo);
void set_u16_pair(std::vector<uint16_t>& field, const bytevector& value, const byteorder& bo);
void set_u16_one_or_two(std::vector<uint16_t>& field, const bytevector& value, const byteorder& bo);
void set_u32(std::vector<uint32_t>& field, const bytevector& value, const byteorder& bo);
void set_u32_pair(std::vector<uint32_t>& field, const bytevector& value, const byteorder& bo);
void set_rational(std::vector<ExifType::rational_t>& field, const bytevector& value,
                  const byteorder& bo);
void set_srational(std::vector<ExifType::srational_t>& field, const bytevector& value,
                   const byteorder& bo);

// At most `limit` bytes of the value, ended at the first NUL.
std::string text_upto_nul(const bytevector& value, uint64_t limit);
// Exactly the value's bytes.
std::string bytes_of(const bytevector& value);

}  // namespace exifdir
}  // namespace libgr

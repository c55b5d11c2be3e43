// Helpers shared by the BMP and TGA readers and writers: little-endian fields,
// file sizes, and the rows of a picture copied in or out with a chosen row
// size. Header fields of these files are outside data: every size taken from
// them is checked against the file before anything is allocated.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "libgr/image/image.h"
#include "libutils/refvector.h"

namespace libgr {
namespace filebytes {

inline uint16_t get16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t get32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void put16(unsigned char* p, uint16_t v) {
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}
inline void put32(unsigned char* p, uint32_t v) {
    put16(p, uint16_t(v));
    put16(p + 2, uint16_t(v >> 16));
}

// Bytes from the stream's position to its end; the position is kept.
uint64_t remaining(std::istream& in);

// Reads `rows` rows of `filerow` bytes each into fresh memory whose rows are
// `memrow` bytes (memrow >= filerow; the extra bytes are zero). False when
// memory cannot be had or the stream ends early.
bool read_rows(libutils::bytevector& out, std::istream& in, uint64_t rows, uint64_t filerow,
               uint64_t memrow);

// The visible rows of `image`, bottom row first, each `rowbytes` long (the
// pixels followed by zero bytes), in fresh memory; or the image's own bytes
// shared when they already have that layout.
bool rows_with_size(libutils::bytevector& out, const image2d_t& image, uint64_t rowbytes);

}  // namespace filebytes
}  // namespace libgr

// Writes EXIF data: TIFF structures with directories of any entries (inline
// or offset values, nested directories, a thumbnail), maker notes in the
// OLYMPUS, OM SYSTEM and PENTAX layouts, in either byte order; wraps them in
// an APP1 segment and splices that into a JPEG file. Used for test fixtures
// and sample pictures; it knows nothing of the project's parser.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace exifwriter {

// A byte string (may hold NUL bytes).
using bytes_t = std::string;

enum class order_t { intel, motorola };  // "II" little-endian, "MM" big-endian

// TIFF field types.
enum type_t : uint16_t {
    BYTE = 1,
    ASCII = 2,
    SHORT = 3,
    LONG = 4,
    RATIONAL = 5,
    SBYTE = 6,
    UNDEFINED = 7,
    SSHORT = 8,
    SLONG = 9,
    SRATIONAL = 10,
    FLOAT = 11,
    DOUBLE = 12,
    IFD = 13,
};

struct ifd_t;
struct makernote_t;

// One directory entry. Build entries with the functions below.
struct entry_t {
    enum kind_t {
        values,        // `numbers` or `bytes`, inline when 4 bytes or fewer
        raw,           // type, count and the 4-byte field exactly as given; nothing else
        subdirectory,  // the field is the offset of `sub`
        makernote,     // the value is `note`, written where the field points
        blob,          // the field is the offset of `bytes` (count stays as given)
    };
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    kind_t kind = values;
    std::vector<uint64_t> numbers;  // one per unit of the type (a rational is two)
    bytes_t bytes;                  // byte-typed values, or the blob
    uint32_t field = 0;             // for raw entries
    std::shared_ptr<const ifd_t> sub;
    std::shared_ptr<const makernote_t> note;
};

struct ifd_t {
    std::vector<entry_t> entries;
    std::shared_ptr<ifd_t> next;         // the next directory in the chain (IFD1 after IFD0)
    std::optional<uint32_t> next_field;  // forces the next-directory field (e.g. a loop)
    bool sort = true;                    // write entries in ascending tag order

    ifd_t& add(entry_t e) {
        entries.push_back(std::move(e));
        return *this;
    }
};

struct makernote_t {
    bytes_t header;                // written before the directory
    std::optional<order_t> order;  // of the directory; unset: the TIFF data's
    bool self_relative =
        false;  // offsets from the start of the maker note, else from the TIFF data
    ifd_t dir;
};

struct tiff_t {
    order_t order = order_t::intel;
    uint16_t magic = 42;
    std::optional<uint32_t> ifd0_offset;  // forces the header's offset field
    ifd_t ifd0;
};

// ---- entries ----
entry_t ascii(uint16_t tag, const std::string& text);  // count includes the NUL
entry_t bytes(uint16_t tag, type_t type, const bytes_t& data);
entry_t shorts(uint16_t tag, const std::vector<uint16_t>& v);
entry_t longs(uint16_t tag, const std::vector<uint32_t>& v);
entry_t rationals(uint16_t tag, const std::vector<std::pair<uint32_t, uint32_t>>& v);
entry_t srationals(uint16_t tag, const std::vector<std::pair<int32_t, int32_t>>& v);
// Any type with explicit count; each number is written in the type's unit size.
entry_t numbers(uint16_t tag, uint16_t type, uint32_t count, const std::vector<uint64_t>& v);
entry_t raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t field);
entry_t subdirectory(uint16_t tag, ifd_t dir, type_t type = LONG);
entry_t makernote(makernote_t note, uint16_t tag = 0x927C);
// A LONG whose value is the offset of `data`, placed in the value area.
entry_t offset_of(uint16_t tag, const bytes_t& data);

// The 1st IFD of a JPEG thumbnail: Compression 6, JPEGInterchangeFormat and
// JPEGInterchangeFormatLength.
ifd_t thumbnail_ifd(const bytes_t& jpeg);

// ---- maker notes ----
makernote_t olympus_old(ifd_t dir);                 // "OLYMP", NUL, 1, 0; TIFF offsets
makernote_t olympus_new(order_t order, ifd_t dir);  // "OLYMPUS", NUL, "II"/"MM", 3, 0
makernote_t om_system(order_t order, ifd_t dir);    // "OM SYSTEM", 3 NULs, "II"/"MM", 4, 0
makernote_t pentax_aoc(order_t order, ifd_t dir);   // "AOC", NUL, "II"/"MM"; TIFF offsets
makernote_t pentax5(order_t order, ifd_t dir);      // "PENTAX ", NUL, "II"/"MM"
makernote_t headerless(ifd_t dir);                  // directory at once; TIFF offsets

// ---- output ----
bytes_t write_tiff(const tiff_t& tiff);
// A self-relative maker note on its own (offsets from its first byte).
bytes_t write_makernote(const makernote_t& note, order_t order);

bytes_t exif_payload(const bytes_t& tiff);  // "Exif", NUL, NUL, then the TIFF data
// FF E1, the 16-bit length, the payload; empty when the payload is over 65533 bytes.
bytes_t app1_segment(const bytes_t& payload);
// The JPEG with the APP1 segment right after SOI; earlier EXIF APP1 segments
// are dropped. Empty when `jpeg` does not start with SOI or the payload is too long.
bytes_t splice_app1(const bytes_t& jpeg, const bytes_t& payload);

}  // namespace exifwriter

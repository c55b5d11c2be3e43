// A JPEG file's picture size and its APPn/COM segments, read through libjpeg,
// and the codec between JPEG data and pictures. The segments collected from
// one file are written into the files encoded afterwards, so that EXIF data
// survive into reduced copies.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "libgr/image/color.h"
#include "libgr/image/image.h"
#include "libgr/jpeg/jpegdata.h"
#include "libutils/refvector.h"

namespace libgr {

// The collectable segments: APP0..APP15, then COM.
enum e_marker_num_t {
    MARKER_APP0,
    MARKER_APP1,
    MARKER_APP2,
    MARKER_APP3,
    MARKER_APP4,
    MARKER_APP5,
    MARKER_APP6,
    MARKER_APP7,
    MARKER_APP8,
    MARKER_APP9,
    MARKER_APP10,
    MARKER_APP11,
    MARKER_APP12,
    MARKER_APP13,
    MARKER_APP14,
    MARKER_APP15,
    MARKER_COM,
    MARKER_MAX
};

struct marker_array_t {
    e_marker_num_t number;
    unsigned char code;  // second byte of the marker code
};
extern const marker_array_t marker_array[MARKER_MAX];

// How pictures map to libjpeg's colour spaces (searched in order).
struct jpeg_info_desc_t {
    image_desc_t desc;
    J_COLOR_SPACE space;
    int components;
};
extern const jpeg_info_desc_t jpeg_info_desc_table[3];

bool get_image_desc_from_jpeg_info(image_desc_t& desc, J_COLOR_SPACE space, int components);
bool get_jpeg_info_from_image_desc(J_COLOR_SPACE* space, int* components, const image_desc_t& desc);

// Where a decode puts its rows: start() is told the picture's description
// and size once the header is read (false: no memory for it), then each row
// from the top is decoded into row(k) and row_done(k) follows. discard()
// ends a decode that gives nothing.
class row_sink_t {
  public:
    virtual ~row_sink_t() = default;
    virtual bool start(const image_desc_t& desc, uint32_t width, uint32_t height) = 0;
    virtual unsigned char* row(uint32_t k) = 0;
    virtual void row_done(uint32_t k) { (void)k; }
    virtual void discard() {}
};

class jpeginfo_t {
  public:
    using e_marker_num_t = libgr::e_marker_num_t;

    struct marker_t {
        unsigned char marker = 0;   // 0xE0..0xEF or 0xFE
        libutils::bytevector data;  // private copy of the payload
    };

    uint64_t width = 0;
    uint64_t height = 0;
    // From the frame header, set by analyze_markers: colour components, and
    // whether the file is progressive (libjpeg then keeps every coefficient
    // of the picture in memory while it decodes).
    int components = 0;
    bool progressive = false;
    // decompress refuses, before any allocation, a picture of more pixels
    // than this (0: no limit).
    uint64_t max_pixels = 0;
    // A first look at a large picture: with both set, decompress reduces the
    // picture by the largest of 2, 4 and 8 (libjpeg's DCT scaling, a fraction
    // of the work) that still leaves at least cover_width x cover_height
    // pixels, and records the factor in `reduction` (1: full size).
    uint64_t cover_width = 0, cover_height = 0;
    unsigned reduction = 1;
    std::vector<marker_t> markers;  // in file order
    // libjpeg's warnings and mid-scan errors during the last decompress: not
    // 0 when the picture holds made-up blocks (cut-off or corrupt data).
    long warnings = 0;

    // Reads the header: size and every APPn/COM segment.
    bool analyze_markers(jpegdata_t& data);
    // Bytes a full-size decode of the analysed header needs at most: the
    // picture and, for a progressive file, libjpeg's coefficient buffer.
    // Known before anything is allocated, so that a caller can refuse a
    // header that claims more than memory allows.
    uint64_t decode_bytes() const;
    static uint64_t decode_bytes(uint64_t width, uint64_t height, int components,
                                 bool progressive);

    // Payload of the first collected segment of that kind; empty if none.
    libutils::bytevector get_marker(e_marker_num_t num) const;
    libutils::bytevector get_marker(int num) const;

    // Decodes (at full size unless cover_* ask otherwise) into `image` (RGB or grey, 8 bits, rows
    // bottom-up padded to 4 bytes; CMYK and YCCK files are turned into RGB)
    // and collects the segments. A picture over max_pixels is refused with
    // a line naming its size. A damaged scan
    // gives a partly decoded picture and true; header failures give false.
    // `border` adds a one-pixel frame of `border_colour` around the stored
    // picture, `align` (not 0) stores it in a square whose side is a multiple
    // of align; the picture is then a window of the stored area.
    bool decompress(image2d_t& image, jpegdata_t& data, unsigned short align = 0,
                    bool border = false, const color3ub_t& border_colour = color3ub_t());

    // The same decode with the rows handed to `sink` as they come, so that a
    // caller can use them without ever holding the whole picture.
    bool decompress_rows(row_sink_t& sink, jpegdata_t& data);

    // Encodes `image` into `out` with the collected segments after libjpeg's
    // JFIF header.
    bool compress(jpegdata_t& out, const image2d_t& image, int quality, bool force_baseline) const;

  private:
    // Appends private copies of libjpeg's saved segments; with `whole_only`,
    // empty segments and segments libjpeg cut short are left out. False when
    // memory runs out.
    static bool copy_markers(jpeg_saved_marker_ptr list, bool whole_only,
                             std::vector<marker_t>& out);
};

}  // namespace libgr

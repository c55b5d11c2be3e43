// The EXIF APP1 segment: the TIFF structure inside it, its standard
// directories (0th, Exif, GPS, 1st) and the maker notes of OLYMPUS, OM
// Digital Solutions and RICOH/PENTAX cameras. Only a short list of tags is
// decoded into typed fields; everything stays a window onto the caller's
// buffer except the copied older OLYMPUS directory.
#pragma once

#include "libgr/jpeg/exiftype.h"
#include "libutils/byteorder.h"
#include "libutils/refvector.h"

namespace libgr {

class tiff_header_t {
  public:
    libutils::bytevector tiff_buffer;            // the TIFF data
    libutils::ptr_t<libutils::byteorder> order;  // of the TIFF data; made by parse()
    // Byte order of a maker note read in the order its header names (the
    // "OLYMPUS", NUL, "II"/"MM" layout); null means the TIFF data's.
    libutils::ptr_t<libutils::byteorder> makernote_order;

    libutils::bytevector ifd0_buffer;  // count, entries, next offset
    libutils::bytevector exif_ifd_buffer;
    libutils::bytevector gps_ifd_buffer;
    libutils::bytevector ifd1_buffer;
    libutils::bytevector makernote_buffer;    // the maker note value, header included
    libutils::bytevector thumbnail_buffer;    // the embedded thumbnail JPEG
    libutils::bytevector olympus_ifd_buffer;  // private copy of the older OLYMPUS directory

    ExifType::tag_0th_ifd tag_0th;
    ExifType::tag_exif_ifd tag_exif;
    ExifType::tag_gps_ifd tag_gps;
    ExifType::tag_1st_ifd tag_1st;
    ExifType::tag_olympus_ifd tag_olympus;
    ExifType::tag_olympus3_equipment_ifd tag_olympus3_equipment;
    ExifType::tag_olympus3_camerasettings_ifd tag_olympus3_camerasettings;
    ExifType::tag_olympus3_focusinfo_ifd tag_olympus3_focusinfo;
    ExifType::tag_pentax5_ifd tag_pentax5;

    // Drops the windows derived from earlier TIFF data and shares `window`.
    // The records stay: clear() them before parsing another segment.
    void set_tiff_buffer(const libutils::bytevector& window);
    bool is_intel() const;
    bool is_motorola() const;
    void byteorderclear();

    bool parse();

    bool parse_0th_ifd();
    bool parse_exif_ifd();
    bool parse_1st_ifd();
    bool parse_gps_ifd();
    bool parse_olympus_ifd();
    // Directory windows and the maker note they belong to (value offsets are
    // relative to the start of the maker note).
    bool parse_olympus3_ifd(const libutils::bytevector& ifd, const libutils::bytevector& makernote);
    bool parse_olympus3_equipment_ifd(const libutils::bytevector& ifd,
                                      const libutils::bytevector& makernote);
    bool parse_olympus3_camerasettings_ifd(const libutils::bytevector& ifd,
                                           const libutils::bytevector& makernote);
    bool parse_olympus3_focusinfo_ifd(const libutils::bytevector& ifd,
                                      const libutils::bytevector& makernote);
    bool parse_pentax5_ifd(const libutils::bytevector& ifd, const libutils::bytevector& makernote);

    void clear();

  private:
    const libutils::byteorder& tiff_order() const;
    const libutils::byteorder& note_order() const;
    bool parse_makernote();
    bool parse_olympus_makernote();
};

class app1_marker_t {
  public:
    libutils::bytevector app1_buffer;  // the APP1 payload
    tiff_header_t tiff_header;

    void set_app1_buffer(const libutils::bytevector& window) { app1_buffer = window; }
    // The payload starts with "Exif" and NUL.
    bool is_exif() const;
    // False (without a message) when the payload is not EXIF; else the TIFF
    // data from byte 6 on are parsed.
    bool parse();
    void clear();
};

}  // namespace libgr

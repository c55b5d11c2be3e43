#include "libgr/jpeg/exif.h"

#include <strings.h>

#include <cstring>
#include <iostream>

#include "libgr/jpeg/exifdir.h"
#include "libutils/error.h"

namespace libgr {

using namespace exifdir;
using libutils::bytevector;

namespace {

// Tags of the 0th IFD.
enum : uint16_t {
    tag_ImageDescription = 0x010E,
    tag_Make = 0x010F,
    tag_Model = 0x0110,
    tag_Orientation = 0x0112,
    tag_XResolution = 0x011A,
    tag_YResolution = 0x011B,
    tag_ResolutionUnit = 0x0128,
    tag_Software = 0x0131,
    tag_DateTime = 0x0132,
    tag_YCbCrPositioning = 0x0213,
    tag_ExifIFDPointer = 0x8769,
    tag_GPSInfoIFDPointer = 0x8825,
};

// Tags of the Exif IFD.
enum : uint16_t {
    tag_ExposureTime = 0x829A,
    tag_FNumber = 0x829D,
    tag_ExposureProgram = 0x8822,
    tag_ISOSpeedRatings = 0x8827,
    tag_StandardOutputSensitivity = 0x8831,
    tag_ISOSpeed = 0x8833,
    tag_DateTimeOriginal = 0x9003,
    tag_DateTimeDigitized = 0x9004,
    tag_ApertureValue = 0x9202,
    tag_ExposureBiasValue = 0x9204,
    tag_MaxApertureValue = 0x9205,
    tag_MeteringMode = 0x9207,
    tag_Flash = 0x9209,
    tag_FocalLength = 0x920A,
    tag_MakerNote = 0x927C,
    tag_ColorSpace = 0xA001,
    tag_WhiteBalance = 0xA403,
    tag_FocalLengthIn35mmFilm = 0xA405,
    tag_Contrast = 0xA408,
    tag_Saturation = 0xA409,
    tag_Sharpness = 0xA40A,
    tag_LensModel = 0xA434,
};

// Tags of the 1st IFD.
enum : uint16_t {
    tag_JPEGInterchangeFormat = 0x0201,
    tag_JPEGInterchangeFormatLength = 0x0202,
};

// Strings of the 0th IFD: at most size - 1 characters, ended at the first NUL.
std::string ifd0_text(const bytevector& value) {
    return value.size() ? text_upto_nul(value, value.size() - 1) : std::string();
}

const libutils::intel_byteorder s_intel;

}  // namespace

// ---- tiff_header_t ----

const libutils::byteorder& tiff_header_t::tiff_order() const {
    return order.get() ? *order : static_cast<const libutils::byteorder&>(s_intel);
}

const libutils::byteorder& tiff_header_t::note_order() const {
    return makernote_order.get() ? *makernote_order : tiff_order();
}

void tiff_header_t::set_tiff_buffer(const bytevector& window) {
    thumbnail_buffer.clear();
    ifd1_buffer.clear();
    gps_ifd_buffer.clear();
    exif_ifd_buffer.clear();
    ifd0_buffer.clear();
    // A maker note found in earlier data must not be taken for one of these.
    makernote_buffer.clear();
    olympus_ifd_buffer.clear();
    makernote_order.free();
    tiff_buffer = window;
}

bool tiff_header_t::is_intel() const {
    return tiff_buffer.size() >= 2 && std::memcmp(tiff_buffer.begin(), "II", 2) == 0;
}

bool tiff_header_t::is_motorola() const {
    return tiff_buffer.size() >= 2 && std::memcmp(tiff_buffer.begin(), "MM", 2) == 0;
}

void tiff_header_t::byteorderclear() {
    order.free();
    makernote_order.free();
}

void tiff_header_t::clear() {
    set_tiff_buffer(bytevector());
    tiff_buffer.clear();
    byteorderclear();
    tag_0th.clear();
    tag_exif.clear();
    tag_gps.clear();
    tag_1st.clear();
    tag_olympus.clear();
    tag_olympus3_equipment.clear();
    tag_olympus3_camerasettings.clear();
    tag_olympus3_focusinfo.clear();
    tag_pentax5.clear();
}

bool tiff_header_t::parse() {
    const uint64_t size = tiff_buffer.size();
    if (size <= 7) return libutils::fail(std::cerr, "too few tiff header size.");
    byteorderclear();
    if (is_intel())
        order = new libutils::intel_byteorder;
    else if (is_motorola())
        order = new libutils::motorola_byteorder;
    else
        return libutils::fail(std::cerr, "byteorder mark not recognized.");
    const libutils::byteorder& bo = *order;
    if (read16(tiff_buffer, 2, bo) != 42) return libutils::fail(std::cerr, "not tiff(0x00, 0x2a).");

    const uint64_t ifd0 = read32(tiff_buffer, 4, bo);
    if (ifd0 + 2 > size)
        return libutils::fail(std::cerr, "0th_ifd_offset size exceed: ", ifd0, " > ", size);
    const uint64_t n = read16(tiff_buffer, ifd0, bo);
    ifd0_buffer.setwindow(tiff_buffer, ifd0, directory_size(n) + 4);
    if (!parse_0th_ifd()) return false;

    // The next-directory offset after the entries leads to the 1st IFD.
    const uint64_t next_at = ifd0 + directory_size(n);
    if (next_at + 4 <= size) {
        const uint64_t ifd1 = read32(tiff_buffer, next_at, bo);
        if (ifd1 != 0 && ifd1 + 2 <= size) {
            const uint64_t c = read16(tiff_buffer, ifd1, bo);
            ifd1_buffer.setwindow(tiff_buffer, ifd1, directory_size(c) + 4);
            parse_1st_ifd();
        }
    }
    return true;
}

bool tiff_header_t::parse_0th_ifd() {
    const libutils::byteorder& bo = tiff_order();
    const bytevector& dir = ifd0_buffer;
    const uint64_t tiff_size = tiff_buffer.size();
    const uint64_t n = read16(dir, 0, bo);
    for (uint64_t i = 0; i < n; ++i) {
        // The entry itself, and with it an inline value, must lie in the window.
        if (inline_position(i) + 4 > dir.size())
            return libutils::fail(std::cerr, "value over, offset: ", inline_position(i),
                                  " ifd size: ", dir.size());
        entry_t e = entry_at(dir, i, bo);
        if (!e.valid_type()) continue;
        bytevector value;
        if (e.is_inline()) {
            value = window(dir, inline_position(i), e.size);
        } else {
            if (e.field + e.size > tiff_size)
                return libutils::fail(std::cerr, "value over, offset ", e.field,
                                      " tiff size: ", tiff_size);
            value = window(tiff_buffer, e.field, e.size);
        }
        switch (e.tag) {
            case tag_ImageDescription:
                tag_0th.ImageDescription = ifd0_text(value);
                break;
            case tag_Make:
                tag_0th.Make = ifd0_text(value);
                break;
            case tag_Model:
                tag_0th.Model = ifd0_text(value);
                break;
            case tag_Orientation:
                set_u16(tag_0th.Orientation, value, bo);
                break;
            case tag_XResolution:
                set_rational(tag_0th.XResolution, value, bo);
                break;
            case tag_YResolution:
                set_rational(tag_0th.YResolution, value, bo);
                break;
            case tag_ResolutionUnit:
                set_u16(tag_0th.ResolutionUnit, value, bo);
                break;
            case tag_Software:
                tag_0th.Software = ifd0_text(value);
                break;
            case tag_DateTime:
                tag_0th.DateTime = ifd0_text(value);
                break;
            case tag_YCbCrPositioning:
                set_u16(tag_0th.YCbCrPositioning, value, bo);
                break;
            case tag_ExifIFDPointer:
                set_u32(tag_0th.ExifIFDPointer, value, bo);
                break;
            case tag_GPSInfoIFDPointer:
                set_u32(tag_0th.GPSInfoIFDPointer, value, bo);
                break;
            default:
                break;
        }
    }

    if (!tag_0th.ExifIFDPointer.empty()) {
        const uint64_t offset = tag_0th.ExifIFDPointer[0];
        if (offset + 2 > tiff_size)
            return libutils::fail(std::cerr, "exif_ifd_offset size exceed: ", offset, " > ",
                                  tiff_size);
        const uint64_t m = read16(tiff_buffer, offset, bo);
        const uint64_t length = entry_size * m + 4;
        if (offset + length > tiff_size)
            return libutils::fail(std::cerr, "exif ifd size exceed: ", offset + length, " > ",
                                  tiff_size);
        exif_ifd_buffer.setwindow(tiff_buffer, offset, length);
        if (!parse_exif_ifd()) return false;
    }

    if (!tag_0th.GPSInfoIFDPointer.empty()) {
        const uint64_t offset = tag_0th.GPSInfoIFDPointer[0];
        if (offset + 2 > tiff_size)
            return libutils::fail(std::cerr, "gps_ifd size exceed: ", offset + 2, " > ", tiff_size);
        const uint64_t length = entry_size * read16(tiff_buffer, offset, bo) + 4;
        if (offset + length > tiff_size)
            return libutils::fail(std::cerr, "gps_ifd size exceed: ", offset + length, " > ",
                                  tiff_size);
        gps_ifd_buffer.setwindow(tiff_buffer, offset, length);
        parse_gps_ifd();
    }

    if (makernote_buffer.empty()) return true;
    return parse_makernote();
}

bool tiff_header_t::parse_exif_ifd() {
    const libutils::byteorder& bo = tiff_order();
    const bytevector& dir = exif_ifd_buffer;
    const uint64_t tiff_size = tiff_buffer.size();
    const uint64_t m = read16(dir, 0, bo);
    for (uint64_t i = 0; i < m; ++i) {
        const uint64_t end = directory_size(i + 1);
        if (end > dir.size())
            return libutils::fail(std::cerr, "too few ifd area", end, " > ", dir.size());
        entry_t e = entry_at(dir, i, bo);
        if (!e.valid_type()) return true;
        bytevector value;
        if (e.is_inline()) {
            value = window(dir, inline_position(i), e.size);
        } else {
            if (e.field + e.size > tiff_size)
                return libutils::fail(std::cerr, "offset+size over: ", e.field, ", ", e.size,
                                      ", tiff size: ", tiff_size);
            value = window(tiff_buffer, e.field, e.size);
        }
        ExifType::tag_exif_ifd& t = tag_exif;
        switch (e.tag) {
            case tag_ExposureTime:
                set_rational(t.ExposureTime, value, bo);
                break;
            case tag_FNumber:
                set_rational(t.FNumber, value, bo);
                break;
            case tag_ExposureProgram:
                set_u16(t.ExposureProgram, value, bo);
                break;
            case tag_ISOSpeedRatings:
                set_u16(t.ISOSpeedRatings, value, bo);
                break;
            case tag_StandardOutputSensitivity:
                set_u32(t.StandardOutputSensitivity, value, bo);
                break;
            case tag_ISOSpeed:
                set_u32(t.ISOSpeed, value, bo);
                break;
            case tag_DateTimeOriginal:
                if (value.size() == 20) t.DateTimeOriginal = text_upto_nul(value, 19);
                break;
            case tag_DateTimeDigitized:
                if (value.size() == 20) t.DateTimeDigitized = text_upto_nul(value, 19);
                break;
            case tag_ApertureValue:
                set_rational(t.ApertureValue, value, bo);
                break;
            case tag_ExposureBiasValue:
                set_srational(t.ExposureBiasValue, value, bo);
                break;
            case tag_MaxApertureValue:
                set_rational(t.MaxApertureValue, value, bo);
                break;
            case tag_MeteringMode:
                set_u16(t.MeteringMode, value, bo);
                break;
            case tag_Flash:
                set_u16(t.Flash, value, bo);
                break;
            case tag_FocalLength:
                set_rational(t.FocalLength, value, bo);
                break;
            case tag_MakerNote:
                makernote_buffer = value;
                break;
            case tag_ColorSpace:
                set_u16(t.ColorSpace, value, bo);
                break;
            case tag_WhiteBalance:
                set_u16(t.WhiteBalance, value, bo);
                break;
            case tag_FocalLengthIn35mmFilm:
                set_u16(t.FocalLengthIn35mmFilm, value, bo);
                break;
            case tag_Contrast:
                set_u16(t.Contrast, value, bo);
                break;
            case tag_Saturation:
                set_u16(t.Saturation, value, bo);
                break;
            case tag_Sharpness:
                set_u16(t.Sharpness, value, bo);
                break;
            case tag_LensModel:
                t.LensModel = text_upto_nul(value, value.size());
                break;
            default:
                break;
        }
    }
    return true;
}

bool tiff_header_t::parse_1st_ifd() {
    const libutils::byteorder& bo = tiff_order();
    const bytevector& dir = ifd1_buffer;
    const uint64_t tiff_size = tiff_buffer.size();
    const uint64_t n = read16(dir, 0, bo);
    for (uint64_t i = 0; i < n; ++i) {
        if (directory_size(i + 1) > dir.size()) break;
        entry_t e = entry_at(dir, i, bo);
        if (!e.valid_type()) break;
        bytevector value;
        if (e.is_inline())
            value = window(dir, inline_position(i), e.size);
        else if (e.field + e.size <= tiff_size)
            value = window(tiff_buffer, e.field, e.size);
        else
            continue;  // a value outside the TIFF data is not there
        switch (e.tag) {
            case tag_JPEGInterchangeFormat:
                set_u32(tag_1st.JPEGInterchangeFormat, value, bo);
                break;
            case tag_JPEGInterchangeFormatLength:
                set_u32(tag_1st.JPEGInterchangeFormatLength, value, bo);
                break;
            default:
                break;
        }
    }
    if (!tag_1st.JPEGInterchangeFormat.empty() && !tag_1st.JPEGInterchangeFormatLength.empty()) {
        const uint64_t offset = tag_1st.JPEGInterchangeFormat[0];
        const uint64_t length = tag_1st.JPEGInterchangeFormatLength[0];
        // A thumbnail that does not fit in the TIFF data is left out rather
        // than cut short.
        if (offset + length <= tiff_size) thumbnail_buffer.setwindow(tiff_buffer, offset, length);
    }
    return true;
}

bool tiff_header_t::parse_gps_ifd() {
    return true;
}

// ---- app1_marker_t ----

bool app1_marker_t::is_exif() const {
    return app1_buffer.size() >= 5 && std::memcmp(app1_buffer.begin(), "Exif\0", 5) == 0;
}

bool app1_marker_t::parse() {
    if (!is_exif()) return false;
    // "Exif", NUL and one pad byte precede the TIFF data.
    tiff_header.set_tiff_buffer(window(app1_buffer, 6, bytevector::npos));
    return tiff_header.parse();
}

void app1_marker_t::clear() {
    app1_buffer.clear();
    tiff_header.clear();
}

}  // namespace libgr

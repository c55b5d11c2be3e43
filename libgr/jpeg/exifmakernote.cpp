// Maker notes: the older OLYMPUS layout (value offsets relative to the TIFF
// data), the OLYMPUS and OM Digital Solutions layout with sub-directories
// (offsets relative to the maker note), and the RICOH/PENTAX layout.
#include <strings.h>

#include <cstring>
#include <functional>
#include <iostream>

#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/exifdir.h"
#include "libutils/error.h"

namespace libgr {

using namespace exifdir;
using libutils::bytevector;

namespace {

// Older OLYMPUS maker-note tags.
enum : uint16_t {
    olympus_FocusMode = 0x100B,
    olympus_FocusDistance = 0x100C,
    olympus_SharpnessFactor = 0x100F,
    olympus_WhiteBalanceMode = 0x1015,
    olympus_ContrastSetting = 0x1029,
};

// OLYMPUS / OM Digital Solutions main directory: sub-directory offsets.
enum : uint16_t {
    olympus3_Equipment = 0x2010,
    olympus3_CameraSettings = 0x2020,
    olympus3_FocusInfo = 0x2050,
};

// Equipment, CameraSettings and FocusInfo tags.
enum : uint16_t {
    equipment_LensModel = 0x0203,
    camerasettings_FocusMode = 0x0301,
    camerasettings_FocusProcess = 0x0302,
    camerasettings_WhiteBalance2 = 0x0500,
    camerasettings_WhiteBalanceTemperature = 0x0501,
    camerasettings_StackedImage = 0x0804,
    focusinfo_AutoFocus = 0x0209,
    focusinfo_ZoomStepCount = 0x0300,
    focusinfo_FocusStepCount = 0x0301,
    focusinfo_FocusStepInfinity = 0x0303,
    focusinfo_FocusStepNear = 0x0304,
    focusinfo_FocusDistance = 0x0305,
    focusinfo_AFPoint = 0x0308,
    focusinfo_AFPointDetails = 0x031B,
};

// RICOH/PENTAX tags.
enum : uint16_t {
    pentax_FocusMode = 0x000D,
    pentax_FocusPosition = 0x0010,
    pentax_WhiteBalance = 0x0019,
    pentax_WhiteBalanceMode = 0x001A,
};

bool begins(const bytevector& data, const char* prefix, size_t n) {
    return data.size() >= n && std::memcmp(data.begin(), prefix, n) == 0;
}

bool make_begins(const std::string& make, const char* prefix) {
    return strncasecmp(make.c_str(), prefix, std::strlen(prefix)) == 0;
}

// The byte order a maker-note header names at `at` ("II" or "MM"), or null.
libutils::byteorder* named_order(const bytevector& note, uint64_t at) {
    if (note.size() < at + 2) return nullptr;
    const unsigned char* p = note.begin() + at;
    if (p[0] == 'I' && p[1] == 'I') return new libutils::intel_byteorder;
    if (p[0] == 'M' && p[1] == 'M') return new libutils::motorola_byteorder;
    return nullptr;
}

bool count_over(const char* name, uint64_t n, uint64_t room) {
    return libutils::fail(std::cerr, name, ": ", n, ": size ", directory_size(n),
                          " over than ifd.size(", room, ").");
}

using handler_t = std::function<void(uint16_t tag, const bytevector& value)>;

// Walks a maker-note directory whose value offsets are relative to the maker
// note. A value outside the maker note is reported and skipped.
bool walk_note_directory(const char* name, const bytevector& dir, const bytevector& note,
                         const libutils::byteorder& bo, const handler_t& take) {
    const uint64_t n = read16(dir, 0, bo);
    if (directory_size(n) > dir.size()) return count_over(name, n, dir.size());
    for (uint64_t i = 0; i < n; ++i) {
        entry_t e = entry_at(dir, i, bo);
        if (!e.valid_type())
            return libutils::fail(std::cerr, name, ": [", i, "]: type ", e.type, " not valid.");
        if (e.is_inline()) {
            take(e.tag, window(dir, inline_position(i), e.size));
        } else if (e.field + e.size <= note.size()) {
            take(e.tag, window(note, e.field, e.size));
        } else {
            libutils::report(std::cerr, std::hex, e.tag, std::dec, ": [", i, "]: ", e.field, ", ",
                             e.size, ": app1 size: ", note.size(), " over.");
        }
    }
    return true;
}

}  // namespace

bool tiff_header_t::parse_makernote() {
    const bytevector& note = makernote_buffer;
    const std::string& make = tag_0th.Make;
    if (make_begins(make, "OLYMPUS")) return parse_olympus_makernote();
    if (make_begins(make, "OM Digital Solutions")) {
        if (!begins(note, "OM SYSTEM", 9)) return true;
        // "OM SYSTEM", three NULs, byte order, version; then the directory,
        // read in the TIFF data's byte order.
        return parse_olympus3_ifd(window(note, 16, bytevector::npos), note);
    }
    if (make_begins(make, "RICOH") && begins(note, "PENTAX", 6)) {
        // "PENTAX ", NUL, byte order; then the directory, read in the TIFF
        // data's byte order (a rewritten file may keep a stale mark).
        return parse_pentax5_ifd(window(note, 10, bytevector::npos), note) && note.size() >= 11;
    }
    return true;
}

bool tiff_header_t::parse_olympus_makernote() {
    const bytevector& note = makernote_buffer;
    // "OLYMPUS", NUL, byte order, version: the layout of OLYMPUS cameras from
    // about 2004 on, read like the OM Digital Solutions one but with the
    // directory at byte 12.
    if (begins(note, "OLYMPUS\0", 8)) {
        if (libutils::byteorder* bo = named_order(note, 8)) {
            makernote_order = bo;
            return parse_olympus3_ifd(window(note, 12, bytevector::npos), note);
        }
    }
    // The older layout: "OLYMP", NUL, two version bytes, then the directory;
    // or the directory at once.
    const bool headed = begins(note, "OLYMP", 5);
    const uint64_t start = headed ? 8 : 0;
    const libutils::byteorder& bo = tiff_order();
    const uint64_t room = note.size() > start ? note.size() - start : 0;
    const uint64_t n = room >= 2 ? read16(note, start, bo) : 0;
    if (directory_size(n) > room) return count_over("olympus ifd", n, room);
    if (headed && n == 0) return libutils::fail(std::cerr, "olympus ifd: 0: no entry.");

    const uint64_t length = directory_size(n);
    olympus_ifd_buffer.clear();
    if (!olympus_ifd_buffer.resize(length))
        return libutils::fail(std::cerr, "olympus ifd: copy fail.");
    std::memcpy(olympus_ifd_buffer.begin(), note.begin() + start, length);
    return parse_olympus_ifd();
}

bool tiff_header_t::parse_olympus_ifd() {
    const libutils::byteorder& bo = tiff_order();
    const bytevector& dir = olympus_ifd_buffer;
    const uint64_t tiff_size = tiff_buffer.size();
    const uint64_t n = read16(dir, 0, bo);
    if (directory_size(n) > dir.size()) return count_over("olympus ifd", n, dir.size());
    for (uint64_t i = 0; i < n; ++i) {
        entry_t e = entry_at(dir, i, bo);
        if (!e.valid_type())
            return libutils::fail(std::cerr, "olympus ifd: [", i, "]: type ", e.type,
                                  " not valid.");
        bytevector value;
        if (e.is_inline())
            value = window(dir, inline_position(i), e.size);
        else if (e.field + e.size <= tiff_size)
            value = window(tiff_buffer, e.field, e.size);
        else
            continue;
        ExifType::tag_olympus_ifd& t = tag_olympus;
        switch (e.tag) {
            case olympus_FocusMode:
                set_u16(t.FocusMode, value, bo);
                break;
            case olympus_FocusDistance:
                set_rational(t.FocusDistance, value, bo);
                break;
            case olympus_SharpnessFactor:
                set_u16(t.SharpnessFactor, value, bo);
                break;
            case olympus_WhiteBalanceMode:
                set_u16_pair(t.WhiteBalanceMode, value, bo);
                break;
            case olympus_ContrastSetting:
                set_u16(t.ContrastSetting, value, bo);
                break;
            default:
                break;
        }
    }
    return true;
}

bool tiff_header_t::parse_olympus3_ifd(const bytevector& ifd, const bytevector& makernote) {
    const libutils::byteorder& bo = note_order();
    std::vector<uint32_t> equipment, camerasettings, focusinfo;
    bool ok = walk_note_directory("olympus3 ifd", ifd, makernote, bo,
                                  [&](uint16_t tag, const bytevector& value) {
                                      switch (tag) {
                                          case olympus3_Equipment:
                                              set_u32(equipment, value, bo);
                                              break;
                                          case olympus3_CameraSettings:
                                              set_u32(camerasettings, value, bo);
                                              break;
                                          case olympus3_FocusInfo:
                                              set_u32(focusinfo, value, bo);
                                              break;
                                          default:
                                              break;
                                      }
                                  });
    if (!ok) return false;
    // A sub-directory window covers its count and entries; one that does not
    // fit in the maker note fails its own count check.
    auto subdirectory = [&](uint32_t offset) {
        const uint64_t c = read16(makernote, offset, bo);
        return window(makernote, offset, directory_size(c));
    };
    if (!equipment.empty() && !parse_olympus3_equipment_ifd(subdirectory(equipment[0]), makernote))
        return false;
    if (!camerasettings.empty() &&
        !parse_olympus3_camerasettings_ifd(subdirectory(camerasettings[0]), makernote))
        return false;
    if (!focusinfo.empty() && !parse_olympus3_focusinfo_ifd(subdirectory(focusinfo[0]), makernote))
        return false;
    return true;
}

bool tiff_header_t::parse_olympus3_equipment_ifd(const bytevector& ifd,
                                                 const bytevector& makernote) {
    const libutils::byteorder& bo = note_order();
    ExifType::tag_olympus3_equipment_ifd& t = tag_olympus3_equipment;
    return walk_note_directory("olympus3 equipment ifd", ifd, makernote, bo,
                               [&](uint16_t tag, const bytevector& value) {
                                   if (tag == equipment_LensModel) t.LensModel = bytes_of(value);
                               });
}

bool tiff_header_t::parse_olympus3_camerasettings_ifd(const bytevector& ifd,
                                                      const bytevector& makernote) {
    const libutils::byteorder& bo = note_order();
    ExifType::tag_olympus3_camerasettings_ifd& t = tag_olympus3_camerasettings;
    return walk_note_directory("olympus3 camerasettings ifd", ifd, makernote, bo,
                               [&](uint16_t tag, const bytevector& value) {
                                   switch (tag) {
                                       case camerasettings_FocusMode:
                                           set_u16_one_or_two(t.FocusMode, value, bo);
                                           break;
                                       case camerasettings_FocusProcess:
                                           set_u16_one_or_two(t.FocusProcess, value, bo);
                                           break;
                                       case camerasettings_WhiteBalance2:
                                           set_u16(t.WhiteBalance2, value, bo);
                                           break;
                                       case camerasettings_WhiteBalanceTemperature:
                                           set_u16(t.WhiteBalanceTemperature, value, bo);
                                           break;
                                       case camerasettings_StackedImage:
                                           set_u32_pair(t.StackedImage, value, bo);
                                           break;
                                       default:
                                           break;
                                   }
                               });
}

bool tiff_header_t::parse_olympus3_focusinfo_ifd(const bytevector& ifd,
                                                 const bytevector& makernote) {
    const libutils::byteorder& bo = note_order();
    ExifType::tag_olympus3_focusinfo_ifd& t = tag_olympus3_focusinfo;
    return walk_note_directory("olympus3 focusinfo ifd", ifd, makernote, bo,
                               [&](uint16_t tag, const bytevector& value) {
                                   switch (tag) {
                                       case focusinfo_AutoFocus:
                                           set_u16(t.AutoFocus, value, bo);
                                           break;
                                       case focusinfo_ZoomStepCount:
                                           set_u16(t.ZoomStepCount, value, bo);
                                           break;
                                       case focusinfo_FocusStepCount:
                                           set_u16(t.FocusStepCount, value, bo);
                                           break;
                                       case focusinfo_FocusStepInfinity:
                                           set_u16(t.FocusStepInfinity, value, bo);
                                           break;
                                       case focusinfo_FocusStepNear:
                                           set_u16(t.FocusStepNear, value, bo);
                                           break;
                                       case focusinfo_FocusDistance:
                                           set_u32_pair(t.FocusDistance, value, bo);
                                           break;
                                       case focusinfo_AFPoint:
                                           set_u16(t.AFPoint, value, bo);
                                           break;
                                       case focusinfo_AFPointDetails:
                                           set_u16(t.AFPointDetails, value, bo);
                                           break;
                                       default:
                                           break;
                                   }
                               });
}

bool tiff_header_t::parse_pentax5_ifd(const bytevector& ifd, const bytevector& makernote) {
    const libutils::byteorder& bo = note_order();
    ExifType::tag_pentax5_ifd& t = tag_pentax5;
    return walk_note_directory("pentax5 ifd", ifd, makernote, bo,
                               [&](uint16_t tag, const bytevector& value) {
                                   switch (tag) {
                                       case pentax_FocusMode:
                                           set_u16(t.FocusMode, value, bo);
                                           break;
                                       case pentax_FocusPosition:
                                           set_u16(t.FocusPosition, value, bo);
                                           break;
                                       case pentax_WhiteBalance:
                                           set_u16(t.WhiteBalance, value, bo);
                                           break;
                                       case pentax_WhiteBalanceMode:
                                           set_u16(t.WhiteBalanceMode, value, bo);
                                           break;
                                       default:
                                           break;
                                   }
                               });
}

}  // namespace libgr

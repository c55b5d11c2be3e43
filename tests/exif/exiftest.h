// Helpers of the JPEG scanner and EXIF tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "libutils/refvector.h"
#include "support/testenv.h"
#include "tools/exifwriter/exifwriter.h"

namespace exiftest {

// A buffer of anonymous memory holding `bytes`.
inline libutils::bytevector buffer_of(const std::string& bytes) {
    libutils::bytevector b;
    b.resize(bytes.size() ? bytes.size() : 1);
    if (!bytes.empty()) std::memcpy(b.begin(), bytes.data(), bytes.size());
    b.length = bytes.size();
    return b;
}

inline std::string text_of(const libutils::bytevector& b) {
    return b.empty() ? std::string()
                     : std::string(reinterpret_cast<const char*>(b.begin()), b.size());
}

using testenv::stderr_of;

// A marker segment: the code, the 16-bit length, the payload.
inline std::string segment(unsigned code, const std::string& payload) {
    std::string s;
    s += char(code >> 8);
    s += char(code & 0xFF);
    s += char((payload.size() + 2) >> 8);
    s += char((payload.size() + 2) & 0xFF);
    return s + payload;
}

// Parses an APP1 payload held in memory; the stderr text goes to `messages`.
inline bool parse_app1(libgr::app1_marker_t& app1, const std::string& payload,
                       std::string* messages = nullptr) {
    bool ok = false;
    std::string err = stderr_of([&] {
        app1.set_app1_buffer(buffer_of(payload));
        ok = app1.parse();
    });
    if (messages) *messages = err;
    return ok;
}

// An Olympus maker note of the newer kind: the equipment, camera-settings
// and focus-info directories with a lens, focus and white-balance values.
inline exifwriter::ifd_t olympus3_directory() {
    exifwriter::ifd_t equipment, settings, focus, main;
    equipment.add(exifwriter::ascii(0x0203, "OLYMPUS M.12-40mm F2.8"));
    settings.add(exifwriter::shorts(0x0301, {0, 0x11}));
    settings.add(exifwriter::shorts(0x0302, {1}));
    settings.add(exifwriter::shorts(0x0500, {18}));
    settings.add(exifwriter::shorts(0x0501, {5300}));
    settings.add(exifwriter::longs(0x0804, {1, 12}));
    focus.add(exifwriter::shorts(0x0209, {1}));
    focus.add(exifwriter::shorts(0x0300, {2}));
    focus.add(exifwriter::shorts(0x0301, {331}));
    focus.add(exifwriter::shorts(0x0303, {325}));
    focus.add(exifwriter::shorts(0x0304, {351}));
    focus.add(exifwriter::rationals(0x0305, {{9020, 1}}));
    focus.add(exifwriter::shorts(0x0308, {7}));
    focus.add(exifwriter::shorts(0x031B, {3}));
    main.add(exifwriter::bytes(0x0209, exifwriter::UNDEFINED, "OLYMPUS DIGITAL CAMERA"));
    main.add(exifwriter::subdirectory(0x2010, equipment, exifwriter::IFD));
    main.add(exifwriter::subdirectory(0x2020, settings, exifwriter::IFD));
    main.add(exifwriter::subdirectory(0x2050, focus, exifwriter::IFD));
    return main;
}

}  // namespace exiftest

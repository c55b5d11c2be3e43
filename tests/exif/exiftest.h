// Helpers of the JPEG scanner and EXIF tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "libutils/refvector.h"

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

// What a call wrote to standard error.
template <class F>
std::string stderr_of(F&& f) {
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}

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

}  // namespace exiftest

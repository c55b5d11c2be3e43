// Running libgr::transform and jpegtran on the same bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "libgr/jpeg/transform.h"
#include "support/testenv.h"

namespace turn {

struct result_t {
    bool ok = false;
    std::string bytes;     // what dst holds afterwards
    std::string messages;  // everything written to standard error
};

inline libgr::jpegdata_t holding(const std::string& bytes, const char* name) {
    libgr::jpegdata_t data;
    data.resize(bytes.size());
    if (!bytes.empty()) std::memcpy(data.begin(), bytes.data(), bytes.size());
    data.name = name;
    return data;
}

inline result_t transform(unsigned long count, const std::string& bytes,
                          const char* name = "in.jpg") {
    libgr::jpegdata_t src = holding(bytes, name), dst;
    result_t r;
    testing::internal::CaptureStderr();
    r.ok = libgr::transform(count, dst, src);
    r.messages = testing::internal::GetCapturedStderr();
    r.bytes.assign(reinterpret_cast<const char*>(dst.begin()), dst.size());
    return r;
}

// jpegtran's output for `count` quarter turns of the file at `path`; its
// exit status in `status` (0 fine, 1 error, 2 warnings).
inline std::string jpegtran(unsigned long count, const std::string& path, int* status) {
    std::string cmd = "jpegtran -copy none";
    if (count) cmd += " -rotate " + std::to_string(count * 90);
    std::string out;
    *status = testenv::run(cmd + " " + testenv::shell_quote(path) + " 2>/dev/null", &out);
    return out;
}

}  // namespace turn

// Running libgr::transform and jpegtran on the same bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "libgr/jpeg/transform.h"
#include "support/peers.h"
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
    r.messages = testenv::stderr_of([&] { r.ok = libgr::transform(count, dst, src); });
    r.bytes.assign(reinterpret_cast<const char*>(dst.begin()), dst.size());
    return r;
}

using peers::jpegtran;

}  // namespace turn

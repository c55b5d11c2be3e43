// libgr::transform on arbitrary bytes: every quarter turn of each input.
// Frames larger than k_max_pixels are skipped so that a run spends its time
// on the parser and the block movers rather than on huge allocations.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iostream>

#include "libgr/jpeg/transform.h"

namespace {

const uint64_t k_max_pixels = 512 * 512;

// libjpeg finds a frame header only at an FF Cn marker; the largest size any
// of them declares bounds what it can allocate.
bool frames_small(const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 9 <= size; ++i) {
        if (data[i] != 0xFF) continue;
        uint8_t m = data[i + 1];
        if (m < 0xC0 || m > 0xCF || m == 0xC4 || m == 0xC8 || m == 0xCC) continue;
        uint64_t height = (uint64_t)data[i + 5] << 8 | data[i + 6];
        uint64_t width = (uint64_t)data[i + 7] << 8 | data[i + 8];
        if (width * height > k_max_pixels) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        std::cerr.rdbuf(nullptr);  // the diagnostics of bad input are expected
        return true;
    }();
    (void)quiet;
    if (size > 65536 || !frames_small(data, size)) return 0;
    libgr::jpegdata_t src, dst;
    src.resize(size);
    if (size) std::memcpy(src.begin(), data, size);
    src.name = "fuzz";
    for (unsigned long count = 0; count < 4; ++count) libgr::transform(count, dst, src);
    return 0;
}

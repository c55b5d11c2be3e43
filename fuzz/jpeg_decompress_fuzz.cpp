// libFuzzer harness: jpeginfo_t::analyze_markers and decompress on any
// bytes, then the decoded picture halved and encoded again with the
// collected segments. libjpeg itself is not instrumented, so the input ends
// right before an inaccessible page: a read past the end faults at once.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "libgr/image/scaledown.h"
#include "libgr/jpeg/jpeginfo.h"

namespace {

// Pictures above this size are only analysed: decoding them spends the
// fuzzer's time on allocation and pixel filling, not on parsing.
const uint64_t k_max_pixels = 1u << 20;

void place_before_guard(libgr::jpegdata_t& out, const uint8_t* data, size_t size) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t room = (size + page - 1) / page * page;
    libutils::bytevector storage;
    if (!storage.resize(room + page)) return;
    unsigned char* base = storage.begin();
    if (size) std::memcpy(base + room - size, data, size);
    mprotect(base + room, page, PROT_NONE);
    out.setwindow(storage, room - size, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    libgr::jpegdata_t jpeg;
    place_before_guard(jpeg, data, size);
    jpeg.name = "fuzz.jpg";
    libgr::jpeginfo_t info;
    if (!info.analyze_markers(jpeg)) return 0;
    if (info.width * info.height > k_max_pixels) return 0;
    libgr::image2d_t image;
    if (!info.decompress(image, jpeg)) return 0;
    // Every byte of the picture must be there.
    unsigned sum = 0;
    for (const unsigned char* p = image.begin(); p != image.end(); ++p) sum += *p;
    volatile unsigned sink = sum;
    (void)sink;
    libgr::image2d_t half;
    if (!libgr::scaledown(half, image)) return 0;
    libgr::jpegdata_t out;
    if (info.compress(out, half, 75, true) && !out.empty()) {
        libgr::jpeginfo_t again;
        again.analyze_markers(out);
    }
    return 0;
}

#include "libgr/image/image.h"

#include <sys/mman.h>

#include <cstring>
#include <fstream>
#include <string>

namespace libgr {

bool palette_t::resize(uint64_t n) {
    entries = n;
    bool ok = red.resize(n) && green.resize(n) && blue.resize(n);
    if (!ok) clear();
    return ok && n != 0;
}

void palette_t::clear() {
    entries = 0;
    red.clear();
    green.clear();
    blue.clear();
}

namespace {

uint64_t align_up(uint64_t n, uint64_t a) {
    return (n + a - 1) / a * a;
}

// Big pictures are walked row after row many times; huge pages save most of
// the page faults of a fresh buffer.
void advise_huge_pages(unsigned char* p, uint64_t size) {
    const uint64_t huge = 2u << 20;
    if (size < 4 * huge) return;
    uintptr_t start = align_up(reinterpret_cast<uintptr_t>(p), huge);
    uintptr_t end = (reinterpret_cast<uintptr_t>(p) + size) / huge * huge;
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

// Anonymous memory is promised lazily: the kernel grants a mapping larger
// than it can back and kills the process when the pages are touched. Big
// buffers are therefore checked against the memory the system has available.
bool memory_can_be_had(uint64_t bytes) {
    if (bytes < (uint64_t(256) << 20)) return true;
    std::ifstream in("/proc/meminfo");
    uint64_t available = 0, swap = 0;
    bool known = false;
    std::string key;
    uint64_t kb;
    while (in >> key >> kb) {
        if (key == "MemAvailable:") {
            available = kb;
            known = true;
        } else if (key == "SwapFree:") {
            swap = kb;
        }
        in.ignore(64, '\n');
    }
    return !known || bytes / 1024 <= available + swap;
}

}  // namespace

uint64_t image2d_t::rowsize() const {
    uint64_t bytes = (uint64_t(rowlength()) * desc.getPixelBits() + 7) / 8;
    uint64_t a = store && store->alignment ? store->alignment : 4;
    return align_up(bytes, a);
}

uint64_t image2d_t::rowbyte() const {
    return (uint64_t(width) * desc.getPixelBits() + 7) / 8;
}

bool image2d_t::allocate() {
    uint64_t size = bytesize();
    if (!memory_can_be_had(size)) return false;
    bool fresh = !is_allocated();
    if (!resize(size)) return false;
    if (fresh) advise_huge_pages(begin(), size);
    return true;
}

void image2d_t::clear() {
    libutils::bytevector::clear();
    palette.clear();
    width = height = 0;
}

unsigned char* image2d_t::operator[](uint64_t y) {
    return begin() + (window.skip_rows + y) * rowsize() +
           uint64_t(window.skip_pixels) * desc.getPixelBits() / 8;
}

const unsigned char* image2d_t::operator[](uint64_t y) const {
    return begin() + (window.skip_rows + y) * rowsize() +
           uint64_t(window.skip_pixels) * desc.getPixelBits() / 8;
}

namespace {

// Clips [pos, pos + len) to [0, extent); returns the start and the length.
void clip(int32_t pos, uint32_t len, uint32_t extent, uint32_t& start, uint32_t& count) {
    int64_t a = pos, b = int64_t(pos) + len;
    if (a < 0) a = 0;
    if (b > extent) b = extent;
    if (a >= b) {
        start = a < int64_t(extent) ? uint32_t(a) : extent;
        count = 0;
        return;
    }
    start = uint32_t(a);
    count = uint32_t(b - a);
}

}  // namespace

bool makewindow(image2d_t& dst, const image2d_t& src, int32_t x, int32_t y, uint32_t w,
                uint32_t h) {
    if (src.compressed) return false;
    uint32_t x0, y0, cw, ch;
    clip(x, w, src.width, x0, cw);
    clip(y, h, src.height, y0, ch);
    if (&dst != &src) {
        dst.libutils::bytevector::operator=(src);
        dst.desc = src.desc;
        dst.store = src.store;
        dst.palette = src.palette;
    }
    image_window2d_t window;
    window.row_length = src.rowlength();
    window.skip_pixels = x0 + src.window.skip_pixels;
    window.skip_rows = y0 + src.window.skip_rows;
    dst.window = window;
    dst.width = cw;
    dst.height = ch;
    dst.compressed = false;
    return true;
}

}  // namespace libgr

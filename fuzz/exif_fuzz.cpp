// libFuzzer harness: the EXIF parser over any APP1 payload, and the whole
// path from a JPEG file (scanner, first APP1, EXIF parse) when the input
// starts with SOI.
#include <cstddef>
#include <cstdint>

#include "fuzz/guarded_buffer.h"
#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpeginfo2.h"

namespace {

// Touches every decoded window so that a window reaching outside the input
// faults here.
unsigned touch(const libutils::bytevector& w) {
    unsigned sum = 0;
    for (const unsigned char* p = w.begin(); p && p != w.end(); ++p) sum += *p;
    return sum;
}

void parse(const libutils::bytevector& payload) {
    libgr::app1_marker_t app1;
    app1.set_app1_buffer(payload);
    app1.parse();
    const libgr::tiff_header_t& t = app1.tiff_header;
    volatile unsigned sink = touch(t.thumbnail_buffer) + touch(t.makernote_buffer) +
                             touch(t.gps_ifd_buffer) + touch(t.ifd1_buffer) +
                             touch(t.exif_ifd_buffer) + touch(t.olympus_ifd_buffer);
    (void)sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    libutils::bytevector input = fuzz::guarded_buffer(data, size);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        libgr::jpeginfo2_t info;
        info.analyze(input);
        parse(info.get_marker(libgr::marker_APP1));
    } else {
        parse(input);
    }
    return 0;
}

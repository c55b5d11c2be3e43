// libFuzzer harness: the EXIF description of whatever the parser decoded,
// from an APP1 payload or, when the input starts with SOI, from a JPEG file
// through the scanner. The description is written even when the parse
// failed part-way (the records hold what was decoded), twice on one stream
// so that the second runs in the notation the first left behind, and each
// maker's own items are written for the same record.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz/guarded_buffer.h"
#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "snapfolio/engine/exifdesc.h"

namespace {

void describe(const libutils::bytevector& payload) {
    libgr::app1_marker_t app1;
    app1.set_app1_buffer(payload);
    app1.parse();
    const libgr::tiff_header_t& t = app1.tiff_header;
    std::ostringstream out;
    snapfolio::writeexif(out, t, true);
    snapfolio::writeexif(out, t, false);
    for (int k = snapfolio::maker_other; k <= snapfolio::maker_canon; ++k) {
        const snapfolio::maker_t& maker = snapfolio::maker_of(snapfolio::e_maker_t(k));
        maker.write_focus(out, t);
        maker.write_settings(out, t);
        maker.write_extra(out, t, "\t");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    libutils::bytevector input = fuzz::guarded_buffer(data, size);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        libgr::jpeginfo2_t info;
        info.analyze(input);
        describe(info.get_marker(libgr::marker_APP1));
    } else {
        describe(input);
    }
    return 0;
}

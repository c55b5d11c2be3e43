// libFuzzer harness: the JPEG segment scanner over any bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/guarded_buffer.h"
#include "libgr/jpeg/jpeginfo2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    libutils::bytevector input = fuzz::guarded_buffer(data, size);
    libgr::jpeginfo2_t info;
    if (info.analyze(input)) {
        // Every listed window must lie inside the input.
        for (const auto& m : info.markers)
            if (m.data.size() && (m.data.begin() < input.begin() || m.data.end() > input.end()))
                __builtin_trap();
    }
    info.get_marker(libgr::marker_APP1);
    return 0;
}

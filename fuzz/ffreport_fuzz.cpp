// libFuzzer harness: ffmpeg's report reader over any text, whole and fed
// line by line with the line limit of the pipe reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "snapfolio/engine/movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    libgr::direction2ul_t size1;
    std::string info1;
    snapfolio::ffparse_report(text, size1, info1);

    snapfolio::ffreport_t report;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t len = end - start < 4095 ? end - start : 4095;
        if (report.feed(text.substr(start, len))) break;
        start += len == end - start ? len + 1 : len;
    }
    libgr::direction2ul_t size2;
    std::string info2;
    report.result(size2, info2);
    // The duration is a piece of one line.
    if (info1.size() > text.size() || info2.size() > text.size()) __builtin_trap();
    return 0;
}

// The view-state reader on arbitrary text: what it accepts is finite and
// invertible, and its written form reads back.
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "glimvue/vuefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    glimvue2::vuefile_t v;
    if (!v.read(in)) return 0;
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(v.matrix.data()[i])) std::abort();
    if (v.size.x < 0 || v.size.y < 0) std::abort();
    std::ostringstream out;
    v.write(out);
    glimvue2::vuefile_t again;
    std::istringstream back(out.str());
    // Entries under a millionth are written as 0: such a view may not read back.
    if (again.read(back) && again.size != v.size) std::abort();
    return 0;
}

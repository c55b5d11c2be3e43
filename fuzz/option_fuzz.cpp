// The viewer's option file reader on arbitrary bytes: loading never fails on
// a file that exists, and whatever it loaded is written back, read again and
// written again to the same text.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "fuzz/scratchfile.h"
#include "glimlib/option.h"

namespace {

const std::string& dir() {
    static const std::string d = [] {
        static fuzz::scratch_dir_t scratch;
        const char* tmpl = scratch.path.c_str();
        std::cerr.rdbuf(nullptr);  // reports of missing value words, verbose lines
        std::cout.rdbuf(nullptr);
        return std::string(tmpl);
    }();
    return d;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = dir() + "/in", a = dir() + "/a", b = dir() + "/b";
    {
        std::ofstream out(in, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), (std::streamsize)size);
    }
    glimlib::g_option = glimlib::option_t();
    if (!glimlib::option_load(in)) std::abort();
    if (!glimlib::option_save(a)) std::abort();
    glimlib::g_option = glimlib::option_t();
    if (!glimlib::option_load(a) || !glimlib::option_save(b)) std::abort();
    if (slurp(a) != slurp(b)) std::abort();
    return 0;
}

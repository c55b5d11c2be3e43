// The viewer's "-@" list file reader on arbitrary bytes: it never fails,
// every name it adds is an existing absolute path with a picture extension,
// and the working directory is unchanged afterwards.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "fuzz/scratchfile.h"
#include "glimvue/imagelist.h"

namespace {

// A folder with a few pictures' names for the lines to hit.
const std::string& dir() {
    static const std::string d = [] {
        static fuzz::scratch_dir_t scratch;
        const char* tmpl = scratch.path.c_str();
        for (const char* n : {"a.jpg", "B.PNG", "c.tga"}) std::ofstream(std::string(tmpl) + "/" + n);
        std::filesystem::create_directory(std::string(tmpl) + "/d.bmp");
        if (chdir(tmpl) != 0) std::abort();
        std::cerr.rdbuf(nullptr);  // "no such file, skipped." lines
        std::cout.rdbuf(nullptr);
        return std::string(tmpl);
    }();
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string list = dir() + "/list";
    {
        std::ofstream out(list, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), (std::streamsize)size);
    }
    glimvue2::imagelist_t l;
    l.add_words({"-@" + list});
    for (const std::string& f : l.files())
        if (f.empty() || f[0] != '/' || !std::filesystem::exists(f)) std::abort();
    if (std::filesystem::current_path() != dir()) std::abort();
    return 0;
}

// Readers that take a path get each fuzz input through one scratch file,
// rewritten for every input and removed with its folder when the run ends.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz {

struct scratch_dir_t {
    std::string path;
    scratch_dir_t() {
        char tmpl[] = "/tmp/snapfolio-fuzz-XXXXXX";
        if (!mkdtemp(tmpl)) std::abort();
        path = tmpl;
    }
    ~scratch_dir_t() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// The run's scratch folder, made on first use.
inline const std::string& scratch_dir() {
    static scratch_dir_t dir;
    return dir.path;
}

// The input written to <scratch>/<name> (its folders must exist); its path.
inline std::string scratch_file(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = scratch_dir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}

}  // namespace fuzz

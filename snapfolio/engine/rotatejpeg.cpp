#include "snapfolio/engine/rotatejpeg.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include "libgr/jpeg/transform.h"
#include "libutils/error.h"
#include "snapfolio/engine/levels.h"

namespace snapfolio {

bool file_holds(const std::string& path, const libutils::bytevector& bytes) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        uint64_t(st.st_size) != bytes.size() || bytes.empty())
        return false;
    libgr::jpegdata_t old;
    if (!old.load(path.c_str())) return false;
    return old.size() == bytes.size() && std::memcmp(old.begin(), bytes.begin(), bytes.size()) == 0;
}

namespace {

const char* subject_of(const libgr::jpegdata_t& data) {
    return data.name ? data.name : "(memory)";
}

bool save(libgr::jpegdata_t& data, const std::string& destination) {
    const char* name = data.name;
    bool ok = data.save(destination.c_str());
    data.name = name;  // save() points it at the caller's string, gone soon
    if (!ok) libutils::report(std::cerr, destination, ": jpegdata save() fail, ", std::strerror(errno));
    return ok;
}

}  // namespace

bool turnjpeg(const libgr::jpegdata_t& source, unsigned long quarter_turns,
              const std::string& destination, libgr::jpegdata_t& turned, bool* written) {
    if (written) *written = false;
    if (!libgr::transform(quarter_turns, turned, source)) {
        return libutils::fail(std::cerr, subject_of(source), ": transform() fail.");
    }
    if (file_holds(destination, turned)) return true;
    if (!save(turned, destination)) return false;
    if (written) *written = true;
    return true;
}

bool rotatejpeg(const std::string& source, const std::string& destination,
                unsigned long quarter_turns) {
    libgr::jpegdata_t input, output;
    if (!input.load(source.c_str())) {
        return libutils::fail(std::cerr, source, ": rotatejpeg() jpegdata load fail.");
    }
    if (!libgr::transform(quarter_turns, output, input)) {
        return libutils::fail(std::cerr, source, ": transform() fail.");
    }
    // The new file is renamed over the destination: whatever was there (a
    // link into "original/", or the very file just read, whose mapping stays
    // valid) is replaced only once the new file is complete.
    return save(output, destination);
}

bool rotateallsize(const std::string& albumdir, const std::string& name,
                   unsigned long quarter_turns) {
    // No turn: rewriting would only drop the segments of the smaller levels
    // and replace the link to the original by a copy.
    if (quarter_turns == 0) return true;
    uint64_t level = getshrinklevel(albumdir, name);
    // Every stored level turns, L+1 included, so that the whole ladder stays
    // one picture.
    std::vector<std::string> list;
    for (uint64_t i = 0; i <= level + 1; ++i)
        list.push_back(albumdir + "/size" + std::to_string(i) + "/" + name);
    list.push_back(albumdir + "/thumb/" + name);
    for (const std::string& file : list) {
        if (!rotatejpeg(file, file, quarter_turns)) {
            return libutils::fail(std::cerr, file, ": rotate jpeg fail.");
        }
    }
    return true;
}

}  // namespace snapfolio

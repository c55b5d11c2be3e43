#include "libutils/linefile.h"

#include <sys/stat.h>

#include <cstdint>

#include <fstream>
#include <iterator>

#include "libutils/error.h"

namespace libutils {

bool read_lines(std::vector<std::string>& lines, const std::string& path, std::ostream& err) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode)) return fail(err, path, ": not a regular file, not read.");
    if (uint64_t(st.st_size) > LINEFILE_MAX_BYTES)
        return fail(err, path, ": file too large, not read.");
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > LINEFILE_MAX_BYTES) return fail(err, path, ": file too large, not read.");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

}  // namespace libutils

#include "snapfolio/engine/filestat.h"

#include <sys/stat.h>

namespace snapfolio {

bool is_exist(const std::string& file) {
    if (file.empty()) return false;
    std::string f = file;
    if (f.back() == '/') f.pop_back();
    struct stat st;
    return ::stat(f.c_str(), &st) == 0;
}

bool is_dir(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace snapfolio

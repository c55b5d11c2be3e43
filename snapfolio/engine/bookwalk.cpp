#include "snapfolio/engine/bookwalk.h"

#include <algorithm>

#include "libutils/file.h"
#include "snapfolio/engine/filestat.h"

namespace snapfolio {

bool is_album_dir(const std::string& dir) {
    return is_dir(dir + "/original");
}

bool is_secret(const std::string& dir) {
    return is_exist(dir + "/txt/secret.txt");
}

bool book_entries(std::vector<std::string>& dirs, const std::string& bookdir, bool without_secret) {
    std::vector<std::string> all;
    dirs.clear();
    if (!libutils::getdirs(all, bookdir)) return false;
    std::reverse(all.begin(), all.end());
    for (const std::string& d : all) {
        if (d == "txt" || d[0] == '_') continue;
        if (without_secret && is_secret(bookdir + "/" + d)) continue;
        dirs.push_back(d);
    }
    return true;
}

void hierar_albums(const path_t& parent, const std::vector<std::string>& dirs,
                   std::vector<album_t>& albums) {
    std::string below;
    parent.submake(below);
    for (const std::string& d : dirs) {
        const path_t child(parent.root, below, d);
        const std::string dir = child.str();
        std::vector<std::string> subs, remaining;
        libutils::getdirs(subs, dir);
        std::reverse(subs.begin(), subs.end());
        bool is_album = false;
        for (const std::string& e : subs) {
            if (e == "txt" || e[0] == '_' || is_secret(dir + "/" + e)) continue;
            if (e == "original") {
                is_album = true;
                break;
            }
            remaining.push_back(e);
        }
        if (is_album) {
            albums.emplace_back();
            albums.back().load(child);
        } else if (!remaining.empty()) {
            hierar_albums(child, remaining, albums);
        }
    }
}

}  // namespace snapfolio

#include "snapfolio/engine/album.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/path.h"
#include "libutils/text.h"

namespace snapfolio {

namespace {

void join(std::string& out, const std::string& piece) {
    if (!out.empty() && !piece.empty()) out += '/';
    out += piece;
}

bool has_extension(const std::string& name, const char* const* exts) {
    for (; *exts; ++exts)
        if (libutils::extcasecmp(name, *exts) == 0) return true;
    return false;
}

}  // namespace

void path_t::submake(std::string& out) const {
    out = dir;
    join(out, name);
}

void path_t::make(std::string& out) const {
    out = root;
    join(out, dir);
    join(out, name);
}

void path_t::make(std::string& out, const std::string& a) const {
    make(out);
    join(out, a);
}

void path_t::make(std::string& out, const std::string& a, const std::string& b) const {
    make(out, a);
    join(out, b);
}

std::string path_t::str(const std::string& a, const std::string& b) const {
    std::string out;
    make(out, a, b);
    return out;
}

bool is_photo(const std::string& name) {
    static const char* const exts[] = {".jpg", ".jpeg", nullptr};
    return has_extension(name, exts);
}

bool is_movie(const std::string& name) {
    static const char* const exts[] = {".avi", ".mov", ".mpg", ".mp4", nullptr};
    return has_extension(name, exts);
}

bool best_t::load(const path_t& path, const std::string& filename) {
    names.clear();
    path.make(file, "txt", filename);
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        libutils::chop2(line);
        if (line.empty()) continue;
        names.insert(line);
        nonempty = true;
    }
    dirty = false;
    return true;
}

bool best_t::save() {
    return save(std::cerr);
}

bool best_t::save(std::ostream& err) {
    if (!dirty) return false;
    // Through a temporary file: a full disk or a crash keeps the old marks.
    libutils::atomic_ofstream out;
    bool ok = out.open(file);
    if (ok) {
        for (const std::string& n : names) out << n << "\r\n";
        ok = out.commit();
    }
    if (!ok) return libutils::fail(err, file, ": write error, ", std::strerror(errno));
    dirty = false;
    return true;
}

void best_t::insert(const std::string& name) {
    names.insert(name);
    dirty = true;
}

void best_t::erase(const std::string& name) {
    names.erase(name);
    dirty = true;
}

bool album_t::load(const path_t& p) {
    path = p;
    bool ok = best.load(path, "best.txt");
    ok = apply.load(path, "apply.txt") && ok;
    ok = submit.load(path, "submit.txt") && ok;
    ok = print.load(path, "print.txt") && ok;
    ok = upload.load(path, "upload.txt") && ok;
    ok = good.load(path, "good.txt") && ok;
    ok = fail.load(path, "fail.txt") && ok;
    // Every picture with any of the five marks counts as good.
    for (const best_t* list : {&best, &apply, &submit, &print, &upload})
        for (const std::string& n : list->names)
            if (!good.find(n)) good.insert(n);
    dirty_flag = false;
    return ok;
}

bool album_t::save() {
    bool written = false;
    for (best_t* list : {&best, &apply, &submit, &print, &upload})
        if (list->save()) written = true;
    if (dirty_flag) {
        dirty_flag = false;
        return true;
    }
    return written;
}

bool album_t::isfind(const std::string& name) const {
    return best.find(name) || apply.find(name) || submit.find(name) || print.find(name) ||
           upload.find(name);
}

}  // namespace snapfolio

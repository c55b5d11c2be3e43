// Mark lists and comment files on arbitrary bytes. A mark list loads
// without empty or padded names and survives a save and a load unchanged;
// comment files load, and saving what was loaded is stable: a second save
// and load gives the same texts.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "fuzz/scratchfile.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/comment.h"

using namespace snapfolio;

namespace {

const path_t& album() {
    static const path_t path = [] {
        const std::string& root = fuzz::scratch_dir();
        mkdir((root + "/alb").c_str(), 0755);
        mkdir((root + "/alb/txt").c_str(), 0755);
        std::cerr.rdbuf(nullptr);  // title warnings
        return path_t(root, "", "alb");
    }();
    return path;
}

void put(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), (std::streamsize)size);
}

void check_marks(const uint8_t* data, size_t size) {
    put(album().str("txt", "best.txt"), data, size);
    best_t list;
    if (!list.load(album(), "best.txt")) std::abort();
    for (const std::string& n : list.names) {
        if (n.empty() || n.find('\n') != std::string::npos) std::abort();
        char last = n.back();
        if (last == ' ' || last == '\t' || last == '\r' || last == '\0') std::abort();
    }
    list.dirty = true;
    if (!list.save()) std::abort();
    best_t again;
    if (!again.load(album(), "best.txt") || again.names != list.names) std::abort();
}

void check_comments(const uint8_t* data, size_t size) {
    std::string txt = album().str("txt");
    put(txt + "/head.txt", data, size);
    put(txt + "/last.txt", data, size);
    std::string title, head, last;
    loadcomment(txt, title, head, last);
    if (!title.empty() && (title.back() == '\r' || title.back() == '\n')) std::abort();

    std::ostringstream err;
    std::string t1 = title, h1, l1;
    if (!savecommenttxt(album(), title, head, last, err)) std::abort();
    loadcomment(txt, t1, h1, l1);
    std::string t2 = t1, h2, l2;
    if (!savecommenttxt(album(), t1, h1, l1, err)) std::abort();
    loadcomment(txt, t2, h2, l2);
    if (t2 != t1 || h2 != h1 || l2 != l1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    check_marks(data, size);
    check_comments(data, size);
    return 0;
}

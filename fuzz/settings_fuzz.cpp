// The settings file reader on arbitrary bytes: loading never fails on a
// file that exists, and whatever it loaded survives a save and a new load
// unchanged.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "fuzz/scratchfile.h"
#include "snapfolio/engine/global.h"

using snapfolio::g_global;
using snapfolio::global_t;

namespace {

bool same(const global_t& a, const global_t& b, bool with_header) {
    return a.from == b.from && a.album == b.album && a.shrink_width == b.shrink_width &&
           a.shrink_height == b.shrink_height && a.jpeg_compress == b.jpeg_compress &&
           a.horizontal_items == b.horizontal_items && a.show_level == b.show_level &&
           a.view_size == b.view_size && a.html_header_check == b.html_header_check &&
           (!with_header || a.html_header == b.html_header) && a.html_address == b.html_address &&
           a.hwaccel == b.hwaccel && a.ffmpeg == b.ffmpeg && a.movie == b.movie &&
           a.play_size_x == b.play_size_x && a.play_size_y == b.play_size_y &&
           a.movie_thumbnail_retina == b.movie_thumbnail_retina && a.glimvue3 == b.glimvue3 &&
           a.pixel_limit == b.pixel_limit;
}

const std::string& home() {
    static const std::string dir = [] {
        const std::string& scratch = fuzz::scratch_dir();
        setenv("HOME", scratch.c_str(), 1);
        std::cerr.rdbuf(nullptr);  // the reader's reports of unknown keys
        return scratch;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    home();
    fuzz::scratch_file(".fuzz", data, size);
    g_global = global_t();
    if (!snapfolio::loadini("", "fuzz")) std::abort();
    global_t loaded = g_global;
    if (!snapfolio::saveini("", "fuzz")) std::abort();
    g_global = global_t();
    if (!snapfolio::loadini("", "fuzz")) std::abort();
    // Without its check the header is not written: the default comes back.
    if (!same(g_global, loaded, loaded.html_header_check)) std::abort();
    if (!loaded.html_header_check && g_global.html_header != global_t().html_header) std::abort();
    return 0;
}

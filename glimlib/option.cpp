#include "glimlib/option.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <list>

#include "libutils/error.h"
#include "libutils/linefile.h"
#include "libutils/text.h"

namespace glimlib {

option_t g_option;

#define OPTION_ENTRY(member, type, help) {#member, 0, type, &g_option.member, help}

option_entity_t option_entity_table[OPTION_COUNT] = {
    OPTION_ENTRY(h, OPTION_BOOL, "print help and exit(if commend-line)."),
    OPTION_ENTRY(verbose, OPTION_BOOL, "verbose print."),
    OPTION_ENTRY(debug, OPTION_BOOL, "debug print."),
    OPTION_ENTRY(wintype, OPTION_ENUM, "window type (0:window 1:maximize 2:fullscreen)."),
    OPTION_ENTRY(winsize, OPTION_SIZE, "initial window size."),
    OPTION_ENTRY(g, OPTION_SIZE, "initial window position."),
    OPTION_ENTRY(resizetype, OPTION_ENUM, "policy of resize (0:fix 1:image 2:window)."),
    OPTION_ENTRY(image_ratio_of_image, OPTION_RATE, "image size factor of image(fix)."),
    OPTION_ENTRY(image_ratio_of_window, OPTION_RATE, "image size factor of window(image)."),
    OPTION_ENTRY(window_ratio_of_image, OPTION_RATE, "window size factor of image(window)."),
    OPTION_ENTRY(resize_magnify, OPTION_BOOL, "allow window resize (if magnify)."),
    OPTION_ENTRY(resize_shrink, OPTION_BOOL, "allow window resize (if shrink)."),
    OPTION_ENTRY(sizelimit, OPTION_ENUM,
                 "limitation of window size (0: unlimited 1:screen 2:value)."),
    OPTION_ENTRY(maxmargin, OPTION_SIZE, "0:screen, margin of maximum window size."),
    OPTION_ENTRY(maxsize, OPTION_SIZE, "1:value, maximum window size."),
    OPTION_ENTRY(cursor_movement, OPTION_ENUM,
                 "moving cursorkey direction (0:panning, 1:camera)."),
    OPTION_ENTRY(magsmooth, OPTION_BOOL, "image smoother for magnify."),
    OPTION_ENTRY(move_limit, OPTION_BOOL, "image move limitation (not implemented yet)."),
    OPTION_ENTRY(doubleclick_interval, OPTION_ULONG,
                 "maximum interval time(ms) of mouse double-click."),
    OPTION_ENTRY(frametype, OPTION_ENUM, "drawing photo-frame type (0:none - 4:max)."),
    OPTION_ENTRY(framewidth, OPTION_ULONG, "drawing photo-frame width (in pixel)."),
    OPTION_ENTRY(framecolor, OPTION_COLOR, "frame color."),
    OPTION_ENTRY(reproduce, OPTION_BOOL, "reproduce angle/zoom of saved '.vue' file."),
    OPTION_ENTRY(resetview, OPTION_BOOL, "resetview(reproduce) on nextimage."),
    OPTION_ENTRY(menu, OPTION_BOOL, "menu on/off."),
    OPTION_ENTRY(single, OPTION_BOOL, "disable double-buffer, reduce VRAM use."),
};

#undef OPTION_ENTRY

namespace {

// The listing's format column, 12 characters each.
const char* const s_type_column[OPTION_TYPE_MAX] = {
    " bool       ", " enum       ", " rate(float)", " ulong      ",
    " float      ", " XXXxYYY    ", " R,G,B      ",
};

void init_once() {
    if (option_entity_table[0].name_length == 0) option_init();
}

// A separator follows a number when the conversion stopped on a character
// other than the end of the text.
bool separator_follows(const char* end) { return *end != '\0'; }

void parse_size(libgr::direction2l_t& v, const char* text) {
    char* end = nullptr;
    long x = std::strtol(text, &end, 0);
    if (x >= 0) v.x = int32_t(x);
    if (!separator_follows(end)) return;
    long y = std::strtol(end + 1, &end, 0);
    if (y >= 0) v.y = int32_t(y);
}

void parse_color(libgr::color3aub_t& c, const char* text) {
    unsigned char* parts[4] = {&c.r, &c.g, &c.b, &c.a};
    const char* p = text;
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        *parts[i] = (unsigned char)(std::strtol(p, &end, 0) & 0xff);
        if (!separator_follows(end)) return;
        p = end + 1;
    }
}

void apply_value(const option_entity_t& e, const char* text) {
    switch (e.type) {
        case OPTION_ENUM:
            *static_cast<int32_t*>(e.value) = int32_t(std::strtol(text, nullptr, 0));
            break;
        case OPTION_RATE:
            *static_cast<float*>(e.value) = float(std::strtod(text, nullptr));
            break;
        case OPTION_ULONG: {
            unsigned long v = std::strtoul(text, nullptr, 0);
            if (v != 0) *static_cast<uint32_t*>(e.value) = uint32_t(v);
            break;
        }
        case OPTION_FLOAT:
            *static_cast<float*>(e.value) = std::strtof(text, nullptr);
            break;
        case OPTION_SIZE:
            parse_size(*static_cast<libgr::direction2l_t*>(e.value), text);
            break;
        case OPTION_COLOR:
            parse_color(*static_cast<libgr::color3aub_t*>(e.value), text);
            break;
        default:
            break;
    }
}

void write_value(std::ostream& os, const option_entity_t& e) {
    switch (e.type) {
        case OPTION_BOOL:
            os << (*static_cast<const bool*>(e.value) ? "+" : "-");
            break;
        case OPTION_ENUM:
            os << ' ' << *static_cast<const int32_t*>(e.value);
            break;
        case OPTION_RATE:
        case OPTION_FLOAT:
            os << ' ' << *static_cast<const float*>(e.value);
            break;
        case OPTION_ULONG:
            os << ' ' << *static_cast<const uint32_t*>(e.value);
            break;
        case OPTION_SIZE: {
            const auto& v = *static_cast<const libgr::direction2l_t*>(e.value);
            // "0x32" would read back as one hexadecimal number: a zero first
            // half is written in the "+0+32" form, which reads back as 0, 32.
            if (v.x == 0)
                os << " +0+" << v.y;
            else
                os << ' ' << v.x << 'x' << v.y;
            break;
        }
        case OPTION_COLOR: {
            const auto& c = *static_cast<const libgr::color3aub_t*>(e.value);
            os << ' ' << unsigned(c.r) << ',' << unsigned(c.g) << ',' << unsigned(c.b) << ','
               << unsigned(c.a);
            break;
        }
        default:
            break;
    }
}

}  // namespace

void option_init() {
    for (auto& e : option_entity_table) e.name_length = std::strlen(e.name);
}

int option_each_analyze(const char* word, const char* next) {
    init_once();
    if (!word || word[0] != '-') return 0;
    const char* text = word + 1;
    for (auto& e : option_entity_table) {
        if (strncasecmp(text, e.name, e.name_length) != 0) continue;
        const char* rest = text + e.name_length;
        if (e.type == OPTION_BOOL) {
            const char* how;
            bool on;
            if (rest[0] == '\0') {
                on = true, how = " is set.";
            } else if (rest[0] == '+' && rest[1] == '\0') {
                on = true, how = " is '+'.";
            } else if (rest[0] == '-' && rest[1] == '\0') {
                on = false, how = " is '-'.";
            } else {
                continue;
            }
            *static_cast<bool*>(e.value) = on;
            if (g_option.debug) std::cerr << "option " << e.name << how << std::endl;
            return 1;
        }
        if (rest[0] != '\0') continue;
        if (!next) {
            libutils::report(std::cerr, word, ": option needs a value.");
            return 0;
        }
        apply_value(e, next);
        return 2;
    }
    return 0;
}

int option_enter_argument(int& argc, char** argv) {
    init_once();
    g_option.h = false;
    int i = 1;
    while (i < argc) {
        int used = option_each_analyze(argv[i], i + 1 < argc ? argv[i + 1] : nullptr);
        if (used == 0) break;
        i += used;
    }
    int out = 1;
    for (; i < argc; ++i) argv[out++] = argv[i];
    if (out < argc) argv[out] = nullptr;
    argc = out;
    if (g_option.h) {
        option_list(argv[0] ? argv[0] : "glimvue3");
        std::exit(0);
    }
    return argc;
}

bool option_load(const std::string& path) {
    init_once();
    std::vector<std::string> lines;
    if (!libutils::read_lines(lines, path, std::cerr)) return true;
    for (const auto& line : lines) {
        std::vector<std::string> words;
        libutils::separate_token(words, line, " \t");
        if (words.empty() || words[0].empty() || words[0][0] != '-') continue;
        option_each_analyze(words[0].c_str(), words.size() > 1 ? words[1].c_str() : nullptr);
    }
    return true;
}

bool option_save(const std::string& path) {
    init_once();
    std::ofstream out(path);
    if (!out) return false;
    for (const auto& e : option_entity_table) {
        out << '-' << e.name;
        write_value(out, e);
        out << '\n';
    }
    out.flush();
    return bool(out);
}

std::string option_user_default_path(const std::string& prog, const std::string& dir) {
    const char* home = std::getenv("HOME");
    std::string path = home ? home : dir;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    return path + "." + prog;
}

bool option_load_user_default(const std::string& prog, const std::string& dir) {
    init_once();
    std::string path = option_user_default_path(prog, dir);
    if (g_option.verbose) std::cout << "load user default: " << path << std::endl;
    return option_load(path);
}

bool option_save_user_default(const std::string& prog, const std::string& dir) {
    init_once();
    if (g_option.debug) std::cout << "prog: " << prog << ", dir: " << dir << std::endl;
    std::string path = option_user_default_path(prog, dir);
    if (g_option.verbose) std::cout << "save user default: " << path << std::endl;
    return option_save(path);
}

void option_list(const std::string& prog) {
    init_once();
    size_t w = 0;
    for (const auto& e : option_entity_table) w = std::max<size_t>(w, e.name_length);
    std::ostream& os = std::cout;
    os << "usage: " << prog << " [option]" << " file..." << std::endl;
    os << std::endl;
    os << "option" << std::string(w - 5, ' ') << " format  comment." << std::endl;
    os << std::string(w + 18, '-') << std::endl;
    for (const auto& e : option_entity_table)
        os << '-' << e.name << std::string(w - e.name_length, ' ') << s_type_column[e.type] << ' '
           << e.help << std::endl;
}

}  // namespace glimlib

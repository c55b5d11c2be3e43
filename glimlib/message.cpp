#include "glimlib/message.h"

#include <sys/stat.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "libutils/error.h"
#include "libutils/path.h"

namespace glimlib {

bool g_message_debug = false;

namespace {

// The loaded catalogue and the pointers into it; replaced only by a
// successful init_message.
std::vector<char> s_msgbuf;
std::vector<const char*> s_tablebuf;

const char s_not_loaded[] = "message not loaded.";
const char s_empty[] = "";

const char s_site_dir[] = "/usr/site/share/glimlib/";

// Tries name in the current directory, then in dir (or along PATH when dir
// is empty), then in the site directory. `last` is the last path tried.
bool try_places(std::vector<char>& buffer, const std::string& dir, const std::string& name,
                bool first_pass, std::string& loaded, std::string& last) {
    last = name;
    if (load_message(buffer, last)) {
        loaded = last;
        return true;
    }
    if (!dir.empty()) {
        last = dir + name;
    } else {
        if (g_message_debug) std::cout << dir << ": dirpath." << std::endl;
        last = libutils::searchpath(name);
    }
    if (load_message(buffer, last)) {
        loaded = last;
        return true;
    }
    if (g_message_debug) std::cout << last << ": warning can't load message file." << std::endl;
    last = s_site_dir + name;
    if (load_message(buffer, last)) {
        loaded = last;
        return true;
    }
    if (g_message_debug && first_pass) {
        libutils::report(std::cerr, last, ": can't load message file.");
    }
    return false;
}

}  // namespace

std::string get_locale_name() {
    const char* lang = std::getenv("LANG");
    return lang ? std::string(lang) : std::string();
}

std::string init_message(const std::string& dir, const std::string& stem) {
    if (g_message_debug) std::cerr << "init_message() entering, locale." << std::endl;
    std::setlocale(LC_ALL, "");

    std::string locale = get_locale_name();
    std::string plain = stem + ".msg";
    std::string name = locale.empty() ? plain : stem + "." + locale + ".msg";

    std::vector<char> buffer;
    std::string loaded, last;
    if (!try_places(buffer, dir, name, true, loaded, last) &&
        !try_places(buffer, dir, plain, false, loaded, last)) {
        libutils::report(std::cerr, last, ": can't load message file.");
        return std::string();
    }
    if (g_message_debug) std::cerr << "path: " << loaded << std::endl;

    s_msgbuf.swap(buffer);
    size_t count = count_lines(s_msgbuf);
    make_message_table(s_tablebuf, s_msgbuf, count);
    if (g_message_debug) std::cerr << "init_message() leaving." << std::endl;
    return loaded;
}

bool load_message(std::vector<char>& buffer, const std::string& path) {
    struct stat st;
    // Only regular files: a directory of the same name opens but reads
    // nothing useful.
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<char> bytes((size_t)st.st_size);
    in.read(bytes.data(), (std::streamsize)bytes.size());
    // A file that shrank while being read keeps what was there.
    bytes.resize((size_t)in.gcount());
    buffer.swap(bytes);
    return true;
}

size_t count_lines(const std::vector<char>& buffer) {
    size_t n = 0;
    for (char c : buffer)
        if (c == '\n') ++n;
    return n;
}

void make_message_table(std::vector<const char*>& table, std::vector<char>& buffer, size_t count) {
    // Entries that the buffer cannot fill (only possible when count is more
    // than its line ends) read as empty rather than running off its end.
    table.assign(count, s_empty);
    char* p = buffer.data();
    char* end = p + buffer.size();
    for (size_t i = 0; i < count; ++i) {
        char* start = p;
        while (p < end && *p != '\r' && *p != '\n') ++p;
        if (p == end) break;
        table[i] = start;
        if (*p == '\r') {
            *p++ = '\0';
            if (p < end && *p == '\n') *p++ = '\0';
        } else {
            *p++ = '\0';
        }
    }
}

const char* getmsg(e_message_t number) {
    return number < s_tablebuf.size() ? s_tablebuf[number] : s_not_loaded;
}

std::string make_title(const std::string& a, const std::string& b) {
    return a + " - " + b;
}

void make_title2(std::string& out, const std::string& a, const std::string& b) {
    out = make_title(a, b);
}

}  // namespace glimlib

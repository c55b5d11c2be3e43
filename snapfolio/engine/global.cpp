#include "snapfolio/engine/global.h"

#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include "glimlib/message.h"
#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/path.h"
#include "libutils/text.h"

namespace snapfolio {

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// One settings key of the file and the member it sets. Exactly one of the
// three member pointers is set; numbers must lie within [low, high].
struct key_t {
    const char* key;
    std::string global_t::*text;
    uint64_t global_t::*number;
    bool global_t::*flag;
    uint64_t low = 0, high = UINT64_MAX;
};

const uint64_t max_side = 65535;  // the largest side a JPEG file can have

const key_t s_keys[] = {
    {"from", &global_t::from, nullptr, nullptr},
    {"album", &global_t::album, nullptr, nullptr},
    {"jpeg_compress", nullptr, &global_t::jpeg_compress, nullptr, 1, 100},
    {"horizontal_items", nullptr, &global_t::horizontal_items, nullptr, 1, 100},
    {"show_level", nullptr, &global_t::show_level, nullptr, 0, 64},
    {"view_size", nullptr, &global_t::view_size, nullptr, 0, 64},
    {"html_header_check", nullptr, nullptr, &global_t::html_header_check},
    {"html_header", &global_t::html_header, nullptr, nullptr},
    {"html_address", &global_t::html_address, nullptr, nullptr},
    {"hwaccel", &global_t::hwaccel, nullptr, nullptr},
    {"ffmpeg", &global_t::ffmpeg, nullptr, nullptr},
    {"movie", &global_t::movie, nullptr, nullptr},
    {"play_size_x", nullptr, &global_t::play_size_x, nullptr, 1, max_side},
    {"play_size_y", nullptr, &global_t::play_size_y, nullptr, 1, max_side},
    {"movie_thumbnail_retina", nullptr, nullptr, &global_t::movie_thumbnail_retina},
    {"glimvue3", &global_t::glimvue3, nullptr, nullptr},
    {"pixel_limit", nullptr, &global_t::pixel_limit, nullptr, 1, max_side * max_side / 1000000 + 1},
    {"jobs", nullptr, &global_t::jobs, nullptr, 0, max_jobs},
};

// The text as it can go to a terminal: bytes other than printable ASCII as
// \xNN, and cut after 200 bytes so that a damaged file cannot flood it.
std::string printable(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    const size_t shown = 200;
    std::string out;
    for (size_t i = 0; i < text.size() && i < shown; ++i) {
        const unsigned char c = (unsigned char)text[i];
        if (c >= 0x20 && c < 0x7f) {
            out.push_back(char(c));
        } else {
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    if (text.size() > shown) out += "...";
    return out;
}

// strtoul with base 0: decimal, 0x hexadecimal or leading-zero octal; blanks
// before and junk after the digits are ignored. False for a value that does
// not begin with a digit (a sign included) or does not fit 64 bits.
bool number_of(const char* text, uint64_t& value, const char** end = nullptr) {
    while (*text == ' ' || *text == '\t') ++text;  // as strtoul does
    if (*text < '0' || *text > '9') return false;
    char* e = nullptr;
    errno = 0;
    value = std::strtoull(text, &e, 0);
    if (end) *end = e;
    return errno == 0;
}

void refuse(const char* key, const std::string& value, uint64_t low, uint64_t high,
            const std::string& kept) {
    libutils::report(std::cerr, key, ": ", printable(value), ": needs a number from ", low,
                     " to ", high, ", kept ", kept, ".");
}

// "800,600": any single character separates the two numbers. Without a
// second number the height is left as it was. Sides of 0 (or no number at
// all) would halve every photo to nothing: the old size is kept then.
void set_shrink_size(global_t& g, const std::string& value) {
    const char* end = nullptr;
    uint64_t w = 0, h = g.shrink_height;
    bool ok = number_of(value.c_str(), w, &end) && w >= 1 && w <= max_side;
    if (ok && *end != '\0') ok = number_of(end + 1, h) && h >= 1 && h <= max_side;
    if (!ok) {
        libutils::report(std::cerr, "shrink_size: ", printable(value),
                         ": needs two numbers from 1 to ", max_side, ", kept ", g.shrink_width,
                         ",", g.shrink_height, ".");
        return;
    }
    g.shrink_width = w;
    g.shrink_height = h;
}

bool set_key(global_t& g, const std::string& key, const std::string& value) {
    if (key == "shrink_size") {
        set_shrink_size(g, value);
        return true;
    }
    if (key == "shrink_level") return true;  // an older key, no longer used
    for (const key_t& k : s_keys) {
        if (key != k.key) continue;
        uint64_t v = 0;
        if (k.text) {
            g.*k.text = value;
        } else if (k.number) {
            if (number_of(value.c_str(), v) && v >= k.low && v <= k.high)
                g.*k.number = v;
            else
                refuse(k.key, value, k.low, k.high, std::to_string(g.*k.number));
        } else {
            // A flag: any number, not 0 is on; anything else is off.
            g.*k.flag = number_of(value.c_str(), v) && v != 0;
        }
        return true;
    }
    return false;
}

// A symbolic link to the settings file (kept with other dotfiles elsewhere)
// stays a link: the file it points to is the one replaced.
std::string write_target(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[4096];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

}  // namespace

const char* charset_of_locale(const std::string& locale) {
    if (locale == "ja_JP.SJIS" || locale == "ja_JP.shiftjis" || locale == "ja-JP")
        return "shift_jis";
    if (strcasecmp(locale.c_str(), "ja_JP.eucJP") == 0) return "euc-jp";
    return "UTF-8";
}

global_t::global_t()
    : from("/mnt/DCIM"),
      html_header(std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") +
                  charset_of_locale(glimlib::get_locale_name()) + "\">"),
      html_address("(C) <a href=\"mailto:user@example.com\">your name</a>, All Rights Reserved."),
      ffmpeg("-c:v libx264 -crf 23"),
      movie("mplayer -x 1920 -y 1080"),
      glimvue3(
          "glimvue3 -resizetype 2 -window_ratio_of_image 0.5 -image_ratio_of_window 2 "
          "-g +0+32") {
    std::string home = env("HOME");
    album = home.empty() ? std::string("album") : home + "/album";
}

global_t g_global;

const char* ostype = std::getenv("OSTYPE");

bool iconify_before_present() {
    return ostype && strncasecmp(ostype, "Win", 3) != 0;
}

std::string inifile(const std::string& /*dir*/, const std::string& name) {
    std::string home = env("HOME");
    if (home.empty()) {
        // No HOME: the account's home directory, else the current one.
        if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir ? pw->pw_dir : "";
        if (home.empty()) home = ".";
    }
    return home + "/." + name;
}

bool loadini(const std::string& dir, const std::string& name) {
    std::ifstream in(inifile(dir, name), std::ios::binary);
    if (!in) return false;
    std::string line;
    std::pair<std::string, std::string> kv;
    while (std::getline(in, line)) {
        libutils::chop(line);
        if (!libutils::separate_first_token(kv, line, '=')) continue;
        if (set_key(g_global, kv.first, kv.second)) continue;
        libutils::report(std::cerr, "Unrecognized name: ", printable(kv.first));
    }
    return true;
}

template <class T>
void writeiniline(std::ostream& out, const char* key, const T& value) {
    out << key << '=' << value << '\r' << '\n';
}

template <>
void writeiniline<bool>(std::ostream& out, const char* key, const bool& value) {
    out << key << '=' << (value ? '1' : '0') << '\r' << '\n';
}

template void writeiniline<std::string>(std::ostream&, const char*, const std::string&);
template void writeiniline<uint64_t>(std::ostream&, const char*, const uint64_t&);

bool saveini(const std::string& dir, const std::string& name, std::ostream& err) {
    const global_t& g = g_global;
    std::string path = write_target(inifile(dir, name));
    libutils::atomic_ofstream out;
    if (!out.open(path)) {
        int e = errno;
        return libutils::fail(err, path, ": open error, ", std::strerror(e));
    }
    writeiniline(out, "from", g.from);
    writeiniline(out, "album", g.album);
    writeiniline(out, "shrink_size",
                 std::to_string(g.shrink_width) + "," + std::to_string(g.shrink_height));
    writeiniline(out, "jpeg_compress", g.jpeg_compress);
    writeiniline(out, "horizontal_items", g.horizontal_items);
    writeiniline(out, "show_level", g.show_level);
    writeiniline(out, "view_size", g.view_size);
    writeiniline(out, "html_header_check", g.html_header_check);
    if (g.html_header_check) writeiniline(out, "html_header", g.html_header);
    writeiniline(out, "html_address", g.html_address);
    writeiniline(out, "hwaccel", g.hwaccel);
    writeiniline(out, "ffmpeg", g.ffmpeg);
    writeiniline(out, "movie", g.movie);
    writeiniline(out, "play_size_x", g.play_size_x);
    writeiniline(out, "play_size_y", g.play_size_y);
    writeiniline(out, "movie_thumbnail_retina", g.movie_thumbnail_retina);
    writeiniline(out, "glimvue3", g.glimvue3);
    // A later key, written only when set, so that files of older versions
    // and of users who never set it stay as they were.
    if (g.pixel_limit != global_t().pixel_limit) writeiniline(out, "pixel_limit", g.pixel_limit);
    if (g.jobs != global_t().jobs) writeiniline(out, "jobs", g.jobs);
    if (!out.commit()) {
        int e = errno;
        return libutils::fail(err, path, ": write error, ", std::strerror(e));
    }
    return true;
}

bool saveini(const std::string& dir, const std::string& name) {
    return saveini(dir, name, std::cerr);
}

}  // namespace snapfolio

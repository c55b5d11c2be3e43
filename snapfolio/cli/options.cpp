#include "snapfolio/cli/options.h"

#include <cerrno>
#include <cstdlib>
#include <iomanip>

#include "snapfolio/cli/run.h"

namespace snapfolio {

namespace {

// A whole decimal number, nothing before or after it.
bool to_number(const std::string& text, uint64_t& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    value = v;
    return true;
}

bool set_album_root(cli_options_t& o, const std::string& v) {
    if (v.empty()) return false;
    o.album_root = v;
    return true;
}

// "WxH" (or "W,H", as the settings file writes it), both at least 1.
bool set_shrink_size(cli_options_t& o, const std::string& v) {
    const size_t sep = v.find_first_of("xX,");
    uint64_t w = 0, h = 0;
    if (sep == std::string::npos || !to_number(v.substr(0, sep), w) ||
        !to_number(v.substr(sep + 1), h) || w == 0 || h == 0)
        return false;
    o.shrink_width = w;
    o.shrink_height = h;
    return true;
}

bool set_quality(cli_options_t& o, const std::string& v) {
    uint64_t q = 0;
    if (!to_number(v, q) || q < 1 || q > 100) return false;
    o.quality = q;
    return true;
}

bool set_jobs(cli_options_t& o, const std::string& v) {
    uint64_t n = 0;
    if (!to_number(v, n) || n < 1 || n > max_jobs) return false;
    o.jobs = n;
    return true;
}

bool set_ffmpeg(cli_options_t& o, const std::string& v) {
    o.ffmpeg = v;
    return true;
}

bool set_title(cli_options_t& o, const std::string& v) {
    o.title = v;
    return true;
}

bool set_begin(cli_options_t& o, const std::string& v) {
    o.begin = v;
    return true;
}

bool set_last(cli_options_t& o, const std::string& v) {
    o.last = v;
    return true;
}

// One option that takes a value: its name, the value's name, the one-line
// help, what a bad value needs to be, and the setter.
struct option_t {
    const char* name;
    const char* value;
    const char* help;
    const char* wants;
    bool (*set)(cli_options_t&, const std::string&);
};

const option_t s_options[] = {
    {"--album-root", "DIR", "album root folder (setting album)", "needs a folder name",
     set_album_root},
    {"--shrink-size", "WxH", "largest width and height of the page size (setting shrink_size)",
     "needs a size such as 1024x768", set_shrink_size},
    {"--quality", "N", "JPEG quality of every encoded picture, 1 to 100 (setting jpeg_compress)",
     "needs a number from 1 to 100", set_quality},
    {"--jobs", "N",
     "photos worked on at once, 1 to 256; default one per core (setting jobs, 0 = per core)",
     "needs a number from 1 to 256", set_jobs},
    {"--ffmpeg", "OPTS", "ffmpeg output options of movie conversions (setting ffmpeg)",
     "needs the options as one argument", set_ffmpeg},
    {"--title", "TEXT", "make: the album's title (else its folder name)", "needs the title",
     set_title},
    {"--begin", "TEXT", "make: the text above the album's pictures", "needs the text", set_begin},
    {"--last", "TEXT", "make: the text below the album's pictures", "needs the text", set_last},
};

const option_t* find_option(const std::string& name) {
    for (const option_t& o : s_options)
        if (name == o.name) return &o;
    return nullptr;
}

bool refuse(std::ostream& err, const std::string& option, const char* text) {
    usage_error(err, option, text);
    return false;
}

}  // namespace

bool parse_cli_options(cli_options_t& options, int argc, const char* const* argv,
                       std::ostream& err) {
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool is_option = !options_end && arg.size() > 1 && arg[0] == '-';
        if (!is_option) {
            if (options.command.empty())
                options.command = arg;
            else
                options.args.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_end = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--secret") {
            options.secret = true;
            continue;
        }
        // --name VALUE or --name=VALUE
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const option_t* o = find_option(name);
        if (!o) return refuse(err, name, "unknown option");
        std::string value;
        if (eq != std::string::npos)
            value = arg.substr(eq + 1);
        else if (i + 1 < argc)
            value = argv[++i];
        else
            return refuse(err, name, o->wants);
        if (!o->set(options, value)) return refuse(err, name, o->wants);
    }
    return true;
}

void apply_overrides(const cli_options_t& o, global_t& g) {
    if (o.album_root) g.album = *o.album_root;
    if (o.shrink_width) g.shrink_width = *o.shrink_width;
    if (o.shrink_height) g.shrink_height = *o.shrink_height;
    if (o.quality) g.jpeg_compress = *o.quality;
    if (o.ffmpeg) g.ffmpeg = *o.ffmpeg;
    if (o.jobs) g.jobs = *o.jobs;
}

void print_option_help(std::ostream& out) {
    for (const option_t& o : s_options)
        out << "  " << std::left << std::setw(20) << (std::string(o.name) + " " + o.value) << o.help
            << '\n';
    out << "  " << std::left << std::setw(20) << "--secret"
        << "make: leave the album off its book's page" << '\n';
    out << "  " << std::left << std::setw(20) << "-h, --help"
        << "show this help" << '\n';
}

}  // namespace snapfolio

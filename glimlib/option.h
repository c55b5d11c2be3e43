// The viewer's options: one process-wide record, g_option, described by one
// table that drives the command line, the per-user default file, writing that
// file back and the usage listing. Names are matched without regard to case;
// a bool takes no value word but an optional "+" or "-" suffix, every other
// option takes the next word as its value.
//
// An option that needs a value but is the last word (of the command line or
// of a file line) is refused with "<word>: option needs a value." on the
// standard error stream; on the command line it then ends option parsing
// like any unrecognised word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "libgr/image/color.h"
#include "libgr/image/vecmath.h"

namespace glimlib {

enum e_option_type_t : int32_t {
    OPTION_BOOL,   // 1 byte, 0 or 1
    OPTION_ENUM,   // int32_t, strtol base 0
    OPTION_RATE,   // float, strtod
    OPTION_ULONG,  // uint32_t, strtoul base 0; 0 is not stored
    OPTION_FLOAT,  // float, strtof
    OPTION_SIZE,   // direction2l_t, "WxH" or "+X+Y"; negative halves not stored
    OPTION_COLOR,  // color3aub_t, "R,G,B" or "R,G,B,A"
    OPTION_TYPE_MAX
};

struct option_t {
    bool h = false;
    bool verbose = false;
    bool debug = false;
    int32_t wintype = 0;
    libgr::direction2l_t winsize{800, 600};
    libgr::direction2l_t g{16384, 16384};
    int32_t resizetype = 1;
    float image_ratio_of_image = 1.0f;
    float image_ratio_of_window = 0.875f;
    float window_ratio_of_image = 1.2f;
    bool resize_magnify = true;
    bool resize_shrink = false;
    int32_t sizelimit = 0;
    libgr::direction2l_t maxmargin{10, 32};
    libgr::direction2l_t maxsize{1500, 1000};
    int32_t cursor_movement = 1;
    bool magsmooth = true;
    bool move_limit = false;
    uint32_t doubleclick_interval = 300;
    int32_t frametype = 1;
    uint32_t framewidth = 32;
    libgr::color3aub_t framecolor{255, 255, 255, 255};
    bool reproduce = true;
    bool resetview = true;
    bool menu = true;
    bool single = false;
};

// An x of 16384 or more in g_option.g means "no position given".
constexpr int32_t OPTION_NO_POSITION = 16384;

extern option_t g_option;

struct option_entity_t {
    const char* name;
    uint64_t name_length;  // filled by option_init
    int32_t type;          // e_option_type_t
    void* value;           // member of g_option
    const char* help;
};

constexpr size_t OPTION_COUNT = 26;
extern option_entity_t option_entity_table[OPTION_COUNT];

// Fills every entry's name length; the other entry points call it first.
void option_init();

// One option word and the word after it (may be null): the number of words
// used, 0 (not an option), 1 (a bool) or 2 (an option with a value).
int option_each_analyze(const char* word, const char* next);

// The command line: consumes the options at the front of argv[1..], moves
// the remaining words down to argv[1] onward and returns their number plus
// one (also stored in argc). With -h, prints the listing and exits 0.
int option_enter_argument(int& argc, char** argv);

// Reads an option file (missing: empty); false only on a hard stream error.
bool option_load(const std::string& path);
// Writes every option, one per line; false when the file cannot be opened.
bool option_save(const std::string& path);

// $HOME (or dir without HOME) + "/" + "." + prog.
std::string option_user_default_path(const std::string& prog, const std::string& dir);
bool option_load_user_default(const std::string& prog, const std::string& dir);
bool option_save_user_default(const std::string& prog, const std::string& dir);

// The usage listing on standard output.
void option_list(const std::string& prog);

}  // namespace glimlib

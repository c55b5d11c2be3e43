// The front end's command line: global options (help, and overrides of the
// settings file for this run), the command name and its arguments. Options
// may stand before or after the command; "--" ends them.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/global.h"

namespace snapfolio {

struct cli_options_t {
    bool help = false;
    // Overrides of the settings, applied after the settings file is read.
    std::optional<std::string> album_root;
    std::optional<uint64_t> shrink_width, shrink_height;
    std::optional<uint64_t> quality;
    std::optional<std::string> ffmpeg;
    std::optional<uint64_t> jobs;
    // What the make-album dialog asks for, used by make: the title, the
    // texts above and below the pictures, and the secret flag.
    std::optional<std::string> title, begin, last;
    bool secret = false;

    std::string command;            // empty when none was given
    std::vector<std::string> args;  // the command's arguments, in order
};

// False, with one line on err, for an unknown option, a missing value or a
// value out of range.
bool parse_cli_options(cli_options_t& options, int argc, const char* const* argv,
                       std::ostream& err);

// Puts the overrides into the settings record.
void apply_overrides(const cli_options_t& options, global_t& g);

// The options and their one-line help, as --help lists them.
void print_option_help(std::ostream& out);

}  // namespace snapfolio

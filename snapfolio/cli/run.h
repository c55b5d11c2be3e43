// The front end's start: options, the command table, the catalogue, the
// settings file and the EXIF tables, then one command.
#pragma once

#include <ostream>
#include <string>

namespace snapfolio {

// Exit statuses of the front end.
enum e_exit_t { exit_ok = 0, exit_failed = 1, exit_usage = 2 };

int run_cli(int argc, const char* const* argv);

// A usage error as one line on err: the subject, ": ", the text and where to
// read more ("--help", or "help COMMAND"). Returns exit_usage.
int usage_error(std::ostream& err, const std::string& subject, const std::string& text,
                const std::string& topic = "--help");

}  // namespace snapfolio

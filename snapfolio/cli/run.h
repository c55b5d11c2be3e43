// The front end's start: options, the command table, the catalogue, the
// settings file and the EXIF tables, then one command.
#pragma once

namespace snapfolio {

// Exit statuses of the front end.
enum e_exit_t { exit_ok = 0, exit_failed = 1, exit_usage = 2 };

int run_cli(int argc, const char* const* argv);

}  // namespace snapfolio

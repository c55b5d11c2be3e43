// The front end's commands as a table, one row per command: its name, its
// arguments, one line of help and the function that runs it. A new command
// is a handler and a row.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace snapfolio {

struct cli_options_t;

// Where a command writes: results to out, diagnostics to err; and the
// options it was given.
struct cli_context_t {
    std::ostream& out;
    std::ostream& err;
    const cli_options_t* options = nullptr;
};

// Returns an exit status (e_exit_t).
typedef int (*command_handler_t)(const cli_context_t& context,
                                 const std::vector<std::string>& args);

struct command_t {
    const char* name;
    const char* args;  // synopsis of the arguments, "" for none
    const char* help;  // one line
    command_handler_t run;
    bool needs_setup;               // runs after the catalogue, settings and EXIF tables are loaded
    const char* details = nullptr;  // more lines for "help COMMAND", or null
};

// The rows, ended by a row whose name is null.
extern const command_t commands[];

const command_t* find_command(const std::string& name);

// The whole usage text, and the usage of one command.
void print_usage(std::ostream& out);
void print_command_usage(std::ostream& out, const command_t& command);

// Handlers, each in the file named after its command.
int command_exif(const cli_context_t& context, const std::vector<std::string>& args);
int command_settings(const cli_context_t& context, const std::vector<std::string>& args);
int command_make(const cli_context_t& context, const std::vector<std::string>& args);
int command_update(const cli_context_t& context, const std::vector<std::string>& args);
int command_batch(const cli_context_t& context, const std::vector<std::string>& args);
int command_help(const cli_context_t& context, const std::vector<std::string>& args);

}  // namespace snapfolio

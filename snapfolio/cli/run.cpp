#include "snapfolio/cli/run.h"

#include <iostream>

#include "glimlib/message.h"
#include "libutils/error.h"
#include "libutils/path.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/options.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/global.h"

namespace snapfolio {

namespace {

// What the album program loads at start, without its windows: the
// catalogue and settings file are those of snapfolio itself, so that both
// front ends write the same pages. A missing settings file means the
// built-in defaults.
void setup(const std::string& argv0, const cli_options_t& options) {
    glimlib::init_message(libutils::dirname(argv0), "snapfolio");
    loadini("", "snapfolio");
    apply_overrides(options, g_global);
    initexif();
}

}  // namespace

int usage_error(std::ostream& err, const std::string& subject, const std::string& text,
                const std::string& topic) {
    libutils::report(err, subject, ": ", text, ", see snapfolio-cli ", topic, ".");
    return exit_usage;
}

int run_cli(int argc, const char* const* argv) {
    cli_options_t options;
    const cli_context_t context{std::cout, std::cerr, &options};
    if (!parse_cli_options(options, argc, argv, std::cerr)) return exit_usage;

    if (options.command.empty()) {
        if (options.help) {
            print_usage(std::cout);
            return exit_ok;
        }
        return usage_error(std::cerr, "snapfolio-cli", "no command given");
    }
    const command_t* command = find_command(options.command);
    if (!command) return usage_error(std::cerr, options.command, "unknown command");
    if (options.help) {
        if (command->run == command_help)
            print_usage(std::cout);
        else
            print_command_usage(std::cout, *command);
        return exit_ok;
    }
    if (command->needs_setup) setup(argc > 0 ? argv[0] : "", options);
    return command->run(context, options.args);
}

}  // namespace snapfolio

#include "snapfolio/cli/commands.h"

#include <iomanip>

#include "snapfolio/cli/options.h"
#include "snapfolio/cli/run.h"

namespace snapfolio {

const command_t commands[] = {
    // name        arguments    help                                                handler
    {"exif", "FILE...", "print the EXIF fields of photos and their description lines", command_exif,
     true},
    {"settings", "", "print the settings in effect (settings file and overrides)", command_settings,
     true},
    {"help", "[COMMAND]", "show this help, or the help of one command", command_help, false},
    {nullptr, nullptr, nullptr, nullptr, false},
};

const command_t* find_command(const std::string& name) {
    for (const command_t* c = commands; c->name; ++c)
        if (name == c->name) return c;
    return nullptr;
}

namespace {

std::string synopsis(const command_t& c) {
    return *c.args ? std::string(c.name) + " " + c.args : std::string(c.name);
}

}  // namespace

void print_command_usage(std::ostream& out, const command_t& c) {
    out << "usage: snapfolio-cli [OPTIONS] " << synopsis(c) << '\n' << "  " << c.help << '\n';
}

void print_usage(std::ostream& out) {
    out << "usage: snapfolio-cli [OPTIONS] COMMAND [ARGUMENTS...]\n"
           "\n"
           "Runs the album engine of snapfolio without windows. The settings come from\n"
           "$HOME/.snapfolio (built-in defaults when it is missing); the options below\n"
           "override them for this run only.\n"
           "\n"
           "Commands:\n";
    for (const command_t* c = commands; c->name; ++c)
        out << "  " << std::left << std::setw(20) << synopsis(*c) << c->help << '\n';
    out << "\nOptions:\n";
    print_option_help(out);
    out << "\nExit status: 0 on success, 1 when a command failed, 2 for a usage error.\n";
}

int command_help(const cli_context_t& context, const std::vector<std::string>& args) {
    if (args.empty()) {
        print_usage(context.out);
        return exit_ok;
    }
    const command_t* c = args.size() == 1 ? find_command(args[0]) : nullptr;
    if (!c) {
        return args.size() == 1 ? usage_error(context.err, args[0], "unknown command")
                                : usage_error(context.err, "help", "takes one command name");
    }
    print_command_usage(context.out, *c);
    return exit_ok;
}

}  // namespace snapfolio

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
    {"make", "CAMERA_DIR ALBUM_DIR [FILE[:DEGREES]]...",
     "make an album from camera files, then rewrite its book's page", command_make, true,
     "  Imports the named files of CAMERA_DIR (every photo and movie there when no\n"
     "  file is named) into ALBUM_DIR, made when missing; its parent folder is the\n"
     "  book, made when missing too (each new book titled with its name). DEGREES\n"
     "  turns a photo clockwise: 0, 90, 180 or 270 (any other angle is reported and\n"
     "  taken as 0). Makes the size levels, the movie levels and the pages, then the\n"
     "  book's index.html. --title, --begin and --last give the album's title and\n"
     "  the texts above and below its pictures (an album without a title gets its\n"
     "  folder name); --secret leaves it off the book's page (a new album otherwise\n"
     "  takes its book's flag, an existing one keeps its own).\n"},
    {"update", "ALBUM_DIR", "bring an album's levels and pages up to date from its originals",
     command_update, true,
     "  Makes the size levels that are missing (existing ones are kept, turns\n"
     "  included) and rewrites the album's pages.\n"},
    {"batch", "ROOT", "update every album, best-of collection and book page below ROOT",
     command_batch, true,
     "  Walks ROOT as the book dialog's batch update does: each album is updated,\n"
     "  each _Best and _BestBook collection and each book page rewritten, children\n"
     "  before parents, ROOT's own page last.\n"},
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
    if (c.details) out << '\n' << c.details;
}

void print_usage(std::ostream& out) {
    out << "usage: snapfolio-cli [OPTIONS] COMMAND [ARGUMENTS...]\n"
           "\n"
           "Runs the album engine of snapfolio without windows. The settings come from\n"
           "$HOME/.snapfolio (built-in defaults when it is missing); the options below\n"
           "override them for this run only. Progress goes to standard output,\n"
           "diagnostics to standard error.\n"
           "\n"
           "Commands:\n";
    for (const command_t* c = commands; c->name; ++c) {
        // A long synopsis gets a line of its own, the help below it.
        const std::string s = synopsis(*c);
        if (s.size() >= 20)
            out << "  " << s << '\n' << "  " << std::string(20, ' ') << c->help << '\n';
        else
            out << "  " << std::left << std::setw(20) << s << c->help << '\n';
    }
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

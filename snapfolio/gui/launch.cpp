#include "snapfolio/gui/launch.h"

#include "snapfolio/engine/external.h"
#include "snapfolio/gui/errorbox.h"

namespace snapfolio {

namespace {

bool not_started(Gtk::Window& parent, const std::string& command) {
    show_error_box(parent, command + ": cannot be started.");
    return false;
}

}  // namespace

bool start_browser(Gtk::Window& parent, const std::string& dir) {
    if (!program_found(browser_program())) return not_started(parent, browser_command(dir));
    run_browser(dir);
    return true;
}

bool start_glimvue3(Gtk::Window& parent, const std::string& prefix,
                    const std::vector<std::string>& targets) {
    if (!program_found(glimvue3_program(prefix)) || !run_glimvue3(prefix, targets))
        return not_started(parent, glimvue3_command(prefix, targets));
    return true;
}

}  // namespace snapfolio

// The browser and the viewer started from a window. Both run in the
// background, so a program that is missing would otherwise go unnoticed:
// it is looked up first, and a failure to start shows an error box with
// the command.
#pragma once

#include <gtkmm/window.h>

#include <string>
#include <vector>

namespace snapfolio {

// dir/index.html in the browser.
bool start_browser(Gtk::Window& parent, const std::string& dir);
// The viewer (prefix: the album program's directory) on the targets.
bool start_glimvue3(Gtk::Window& parent, const std::string& prefix,
                    const std::vector<std::string>& targets);

}  // namespace snapfolio

// The modal error box of every window: an OK button, titled with the
// catalogue's error title.
#pragma once

#include <gtkmm/window.h>

#include <string>

namespace snapfolio {

// text is in the locale's encoding (catalogue messages and engine output).
void show_error_box(Gtk::Window& parent, const std::string& text);

}  // namespace snapfolio

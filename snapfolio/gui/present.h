// Bringing a window back to the front after a dialog or a started program:
// where the platform wants it (OSTYPE set and not Windows) the window is
// iconified first, then it is presented (raised and focused).
#pragma once

#include <gtkmm/window.h>

namespace snapfolio {

void bring_to_front(Gtk::Window& window);

}  // namespace snapfolio

#include "snapfolio/gui/errorbox.h"

#include <gtkmm/messagedialog.h>

#include "snapfolio/gui/textconv.h"

namespace snapfolio {

void show_error_box(Gtk::Window& parent, const std::string& text) {
    Gtk::MessageDialog box(parent, to_utf8(text), false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK, true);
    box.set_title(msg(msg_error));
    box.get_accessible()->set_name(box.get_title());
    box.run();
}

}  // namespace snapfolio

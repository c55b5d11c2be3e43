#include "snapfolio/gui/standins.h"

#include <gtkmm/dialog.h>

#include "snapfolio/gui/launch.h"

namespace snapfolio {
namespace standin {

namespace {

int open_index(Gtk::Window& parent, const path_t& entry) {
    start_browser(parent, entry.str());
    return Gtk::RESPONSE_CANCEL;
}

}  // namespace

int run_edit_album_dialog(Gtk::Window& parent, const path_t& album, const std::string&,
                          Glib::RefPtr<Gtk::Adjustment>&) {
    return open_index(parent, album);
}

int run_good_album_dialog(Gtk::Window& parent, const path_t& entry, const std::string&, bool,
                          Glib::RefPtr<Gtk::Adjustment>&) {
    return open_index(parent, entry);
}

int run_best_book_dialog(Gtk::Window& parent, const path_t& entry, const std::string&, bool,
                         Glib::RefPtr<Gtk::Adjustment>&) {
    return open_index(parent, entry);
}

void run_view_album_dialog(Gtk::Window& parent, const path_t& album, const std::string&) {
    open_index(parent, album);
}

}  // namespace standin
}  // namespace snapfolio

// STAND-INS, all in this one place: the album, good-pictures, best-book and
// view-album dialogs do not exist yet. Each function has the shape its real
// counterpart's caller needs; replace its body when the dialog arrives and
// the callers (menu window, book dialogs) need no change. Until then each
// opens the entry's index.html in the browser, and a browser that cannot
// be started is shown in an error box.
#pragma once

#include <glibmm/refptr.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/window.h>

#include <string>

#include "snapfolio/engine/album.h"

namespace snapfolio {
namespace standin {

// One pass of an entry's edit dialog from the book editor: the dialog is
// made, its scrolled list given `scroll` (the position of the previous pass;
// null on the first), run, and `scroll` set to its position. The response
// (Gtk::RESPONSE_APPLY asks for another pass).
int run_edit_album_dialog(Gtk::Window& parent, const path_t& album, const std::string& program_dir,
                          Glib::RefPtr<Gtk::Adjustment>& scroll);
// The review dialogs: `editable` from the book editor, read-only from the
// lists.
int run_good_album_dialog(Gtk::Window& parent, const path_t& entry, const std::string& program_dir,
                          bool editable, Glib::RefPtr<Gtk::Adjustment>& scroll);
int run_best_book_dialog(Gtk::Window& parent, const path_t& entry, const std::string& program_dir,
                         bool editable, Glib::RefPtr<Gtk::Adjustment>& scroll);
// The read-only album view, run once.
void run_view_album_dialog(Gtk::Window& parent, const path_t& album,
                           const std::string& program_dir);

}  // namespace standin
}  // namespace snapfolio

// Running the album dialogs from the lists: the book editor runs the edit
// and review dialogs pass after pass while the user presses Apply, each pass
// a new dialog that shows the album as it now is and keeps the scroll
// position of the pass before; the view lists run the read-only ones once.
#pragma once

#include <glibmm/refptr.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/window.h>

#include <string>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// One pass: the dialog is made, its grid scrolled to where `scroll` (the
// previous pass's position; null on the first) was, run, and `scroll` set
// to its position. The response (Gtk::RESPONSE_APPLY asks for another pass).
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

}  // namespace snapfolio

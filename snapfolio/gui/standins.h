// STAND-INS, all in this one place: the entry dialogs (good pictures, best
// book, view book, view album, edit book) and the launcher of external
// programs do not exist yet. Each function here has the shape its real
// counterpart will have; replace the body (or the whole function) when the
// real one arrives, and the menu window needs no change.
#pragma once

#include <gtkmm/window.h>

#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {
namespace standin {

// Row buttons of the menu window. For now each opens the entry's
// index.html in the browser.
void run_good_album_dialog(Gtk::Window& parent, const path_t& entry,
                           const std::string& program_dir);
void run_best_book_dialog(Gtk::Window& parent, const path_t& entry, const std::string& program_dir);
void run_view_book_dialog(Gtk::Window& parent, const path_t& book, const std::string& program_dir);
void run_view_album_dialog(Gtk::Window& parent, const path_t& album,
                           const std::string& program_dir);

// The books button: for now one line on standard error.
void run_edit_book_dialog(Gtk::Window& parent, const path_t& book, const std::string& program_dir,
                          const std::string& program_name);

// dir/index.html in the user's browser (xdg-open), not waited for.
void run_browser(const std::string& dir);

// The viewer: prefix + the glimvue3 setting + the quoted targets, not
// waited for; true when the shell started it.
bool run_glimvue3(const std::string& prefix, const std::vector<std::string>& targets);

// text in single quotes, safe for sh whatever it holds.
std::string shell_quote(const std::string& text);

}  // namespace standin
}  // namespace snapfolio

// Making a new book inside the edited one: its directory name, secret flag,
// title and texts. OK and apply make the directory, save its texts and
// write its page and the parent book's.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>

#include <string>

#include "snapfolio/engine/album.h"

namespace snapfolio {

class MakeBookDialog : public Gtk::Dialog {
  public:
    MakeBookDialog(Gtk::Window& parent, const path_t& parent_book_path);

    // Empty root, dir = the parent book's directory, name = the entry's text.
    path_t get_bookdir() const;
    void button_directory();
    bool button_update(GdkEventFocus* event);

    // What the last OK or apply used.
    const std::string& get_title_text() const { return title; }
    // Whether the last OK or apply made the book (saved its texts).
    bool made() const { return made_book; }

    Gtk::Entry& get_dir_entry() { return dir_entry; }
    Gtk::Entry& get_title_entry() { return title_entry; }
    Gtk::TextView& get_begin_view() { return begin_text; }
    Gtk::TextView& get_last_view() { return last_text; }
    Gtk::CheckButton& get_secret_check() { return secret_check; }

  protected:
    void on_response(int id) override;

  private:
    const path_t parent_book_path;  // a copy: callers may pass a temporary
    std::string book_dir, title, begin, last;
    bool made_book = false;

    Gtk::Box dir_row{Gtk::ORIENTATION_HORIZONTAL}, secret_row{Gtk::ORIENTATION_HORIZONTAL},
        title_row{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Label dir_label, secret_label, title_label, begin_label, last_label;
    Gtk::Entry dir_entry, title_entry;
    Gtk::Button browse_button;
    Gtk::CheckButton secret_check;
    Gtk::TextView begin_text, last_text;
};

}  // namespace snapfolio

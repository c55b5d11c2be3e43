// The read-only view of a book, opened from the menu window's book rows and
// from itself: the book's title and texts and its entries as the menu
// window lists the album root's, with the same row buttons.
#pragma once

#include <gtkmm/dialog.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>

#include <memory>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/gui/booklist.h"

namespace snapfolio {

// Opens the dialog a read-only row opens for the entry `name` of book_dir:
// an album's view, a best-of review, or a nested book's view. The menu
// window asks for the best-of names first (`best_of_first`); the book view
// takes any directory with "original" for an album.
void open_view_entry(Gtk::Window& parent, const std::string& book_dir, const std::string& name,
                     const std::string& program_dir, bool best_of_first);

class ViewBookDialog : public Gtk::Dialog {
  public:
    ViewBookDialog(Gtk::Window& parent, const path_t& book_path, const std::string& program_dir);

    bool make_items();
    void button_glimvue3(size_t index);
    void button_list(size_t index);

    const std::vector<std::unique_ptr<view_row_t>>& get_items() const { return items; }
    Gtk::Label& get_title_label() { return title_label; }
    Gtk::TextView& get_begin_view() { return begin_text; }
    Gtk::TextView& get_last_view() { return last_text; }

  private:
    path_t book_path;
    std::string book_dir;
    const std::string program_dir;

    Gtk::Label title_label;
    Gtk::TextView begin_text;
    Gtk::ScrolledWindow scrolled;
    Gtk::Grid table;
    Gtk::TextView last_text;
    std::vector<std::unique_ptr<view_row_t>> items;
};

}  // namespace snapfolio

// What the windows list of a book (the album root is the outermost one):
// its subdirectories, newest name first, each with its texts and count,
// and the read-only rows of the menu window and the view-book dialog.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>

#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/filestat.h"

namespace snapfolio {

// One listed directory of a book.
struct book_entry_t {
    std::string name;
    bool has_original = false;  // an album
    bool has_viewer = false;    // an album or one of the two best-of entries
    std::string title;
    std::string comment;  // first line of the begin comment
    std::string count;    // first line of txt/count.txt (albums and best-of)
};

bool is_best_of(const std::string& name);

// The subdirectories of book_dir in descending byte order, "txt" and
// directories without texts left out; false when book_dir cannot be listed.
bool list_book(std::vector<book_entry_t>& entries, const std::string& book_dir);

// The subdirectory names of book_dir, descending, none left out.
std::vector<std::string> reversed_dirs(const std::string& book_dir);

// The viewer's arguments for an entry: its size directory of level
// view_size when it has one, else (a best-of entry) a "-C" size directory
// and "-@" mark list ("best.txt" for _BestBook, "good.txt" for _Best) for
// every directory of the book.
std::vector<std::string> viewer_targets(const std::string& book_dir, const std::string& name);

// A row of the read-only lists.
struct view_row_t {
    bool has_original = false;
    bool has_viewer = false;
    std::string path;  // the entry's full path
    std::string name;
    Gtk::Label name_label;
    Gtk::Button main_button;  // "List" for albums and best-of entries, "View" for books
    Gtk::Button viewer_button;
    Gtk::Label count_label;
    Gtk::Label title_label;
    Gtk::Label comment_label;

    view_row_t(const std::string& book_dir, const book_entry_t& entry);
    // Row `row` of the table: name 0, main button 2, viewer 3, count 4,
    // title 5, comment 6 (column 1 stays empty).
    void attach(Gtk::Grid& table, int row);
};

// The first line of a text, without its CR LF.
std::string first_line(const std::string& text);

}  // namespace snapfolio

// The book editor: a book's title, texts and secret flag, the list of what
// it holds (each name editable, which renames or moves the entry into a
// sub-book, and a remove button), and the actions new book, new album,
// update all and browser. The menu window's books button opens it on the
// album root; its book rows open nested editors.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/gui/ProgWin.h"

namespace snapfolio {

class EditBookDialog : public Gtk::Dialog {
  public:
    // The dialog's own actions; after each its caller makes it again, so the
    // list shows the directory as it now is.
    enum {
        response_new_book = 0,
        response_new_album = 1,
        response_update_all = 2,
        response_browser = 3
    };

    struct item_t {
        bool has_original = false;  // an album or a best-of entry
        std::string path;           // the entry's directory
        std::string name;           // its directory name
        Gtk::Entry name_entry;      // a new name renames it on save
        Gtk::Button main_button;
        Gtk::Label count_label;
        Gtk::Label title_label;
        Gtk::Label comment_label;
        Gtk::Button remove_button;
    };

    EditBookDialog(Gtk::Window& parent, const path_t& book_path, const std::string& program_dir,
                   const std::string& program_name);

    bool make_items();
    // The title entry is empty (the caller then runs the dialog again).
    bool empty() const { return title_entry.get_text().empty(); }
    void button_list(size_t index);
    void button_remove(size_t index);
    // The batch update of path with this dialog's progress window.
    bool batchupdate(const path_t& path, std::ostream& err);

    const std::vector<std::unique_ptr<item_t>>& get_items() const { return items; }
    Gtk::Entry& get_title_entry() { return title_entry; }
    Gtk::TextView& get_begin_view() { return begin_text; }
    Gtk::TextView& get_last_view() { return last_text; }
    Gtk::CheckButton& get_secret_check() { return secret_check; }
    ProgWin& get_progwin() { return progwin; }

  protected:
    void on_response(int id) override;

  private:
    void save(int response);
    // Renames the rows whose name was changed; the sub-books entries went
    // into are added to sub_books.
    void rename_entries(std::vector<std::string>& sub_books);
    void make_book();
    void make_album();

    path_t book_path;
    std::string album_dir;  // the book's directory
    const std::string program_dir;
    const std::string program_name;

    Gtk::Box secret_row{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Label secret_label;
    Gtk::CheckButton secret_check;
    Gtk::Entry title_entry;
    Gtk::TextView begin_text;
    Gtk::ScrolledWindow scrolled;
    Gtk::Grid table;
    Gtk::TextView last_text;
    std::vector<std::string> dirs;  // the subdirectories of the last make_items
    std::vector<std::unique_ptr<item_t>> items;
    ProgWin progwin;
};

// Runs the book editor on book as its callers do: it is made again and run
// again after each of its own actions and after apply, and after OK while
// its title is empty; on_saved runs after each apply and OK. The last
// response.
int run_edit_book(Gtk::Window& parent, const path_t& book, const std::string& program_dir,
                  const std::string& program_name, const std::function<void()>& on_saved = {});

}  // namespace snapfolio

// The album program's main window: every album and book directly under the
// album root as a row, the root's title and texts around them, and the
// command buttons (browser, settings, books, close).
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include <memory>
#include <string>
#include <vector>

#include "snapfolio/gui/booklist.h"

namespace snapfolio {

// Prints "usage: <name> [-h] [<from dir> <to dir>]" on standard output.
void usage(const std::string& name);

class MenuWindow : public Gtk::Window {
  public:
    // One listed directory.
    using item_t = view_row_t;

    // Loads the catalogue and the settings (running the option dialog on a
    // first start), reads the command line and builds the window. Ends the
    // process (status 0) for -h, a wrong argument count, or when no settings
    // file exists after the option dialog.
    MenuWindow(int argc, char** argv);

    // Rebuilds the header texts and the rows from the album root; false when
    // the root cannot be listed.
    bool make_items();

    // What the window shows, for tests.
    const std::vector<std::unique_ptr<item_t>>& get_items() const { return items; }
    Gtk::Grid& get_table() { return table; }
    Gtk::ScrolledWindow& get_scrolled() { return scrolled; }
    Gtk::Label& get_title_label() { return title_label; }
    Gtk::TextView& get_begin_view() { return begin_text; }
    Gtk::TextView& get_last_view() { return last_text; }
    Gtk::Box& get_button_box() { return button_box; }
    const std::string& get_program_dir() const { return program_dir; }
    const std::string& get_program_name() const { return program_name; }
    const std::string& get_message_dir() const { return message_dir; }

    void on_btn_clicked_run_browser();
    void on_btn_clicked_optionsetting();
    void on_btn_clicked_edit();
    void on_btn_clicked_close();
    void on_btn_clicked_move() {}
    void on_btn_clicked_delete() {}
    void on_btn_clicked_itembutton(size_t index);
    void on_btn_clicked_glimvue3(size_t index);

  private:
    void read_command_line();
    // Runs the option dialog until it is cancelled, closed, or has saved.
    void run_option_dialog();
    void build_window();

    int argc;
    char** argv;
    std::string program_dir;   // directory of argv[0], with its separator
    std::string program_stem;  // argv[0]'s file name without extension
    std::string program_name;  // argv[0]'s file name
    std::string message_dir;   // directory of the catalogue loaded
    std::string album_root;    // the album setting with "/" appended

    Gtk::Box vbox{Gtk::ORIENTATION_VERTICAL};
    Gtk::Label title_label;
    Gtk::TextView begin_text;
    Gtk::ScrolledWindow scrolled;
    Gtk::Grid table;
    Gtk::TextView last_text;
    Gtk::Box button_box{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Button browser_button, option_button, edit_button, close_button;

    std::vector<std::unique_ptr<item_t>> items;
};

}  // namespace snapfolio

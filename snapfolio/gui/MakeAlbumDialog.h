// Making a new album from a camera folder: every file of the folder as a
// thumbnail toggle in a grid (pressed = imported), a quarter-turn angle per
// photo, and the album's directory name, title, texts and secret flag. The
// dialog only collects the choices; make_album_from_dialog checks them and
// drives the engine with a progress window.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/grid.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/textview.h>
#include <gtkmm/togglebutton.h>

#include <memory>
#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "libgr/image/vecmath.h"
#include "snapfolio/engine/album.h"

namespace snapfolio {

class MakeAlbumDialog : public Gtk::Dialog {
  public:
    struct item_t {
        std::string name;
        libgr::image2d_t thumbnail;  // as loaded, never turned
        Gtk::Image image;            // the thumbnail turned by the chosen angle
        Gtk::ToggleButton select_button;
        Gtk::Label name_label;
        Gtk::Box rotate_box{Gtk::ORIENTATION_HORIZONTAL};
        Gtk::CheckButton is_rotate_check;
        Gtk::SpinButton angle_spin;
        bool rotatable = false;  // a photo whose thumbnail loaded
        bool in_grid = false;    // has cells in the grid
    };

    MakeAlbumDialog(Gtk::Window& parent, const std::string& from, const std::string& book_dir,
                    const std::string& program_name);

    std::string get_from() const;
    path_t get_to() const;
    std::string get_title_text() const;
    std::string begin_comment() const;
    std::string last_comment() const;
    bool get_secret() const { return secret_check.get_active(); }
    // The pressed files in name order with their turns.
    std::vector<files_t> selected_files() const;

    // Scans the source folder into the grid; false when it cannot be read.
    bool leave_from();
    bool leave_to();
    void button_from();
    void button_invert();
    void button_update();
    void button_image(size_t index);
    void button_is_rotate(size_t index);
    void button_rotate(size_t index);

    const std::vector<std::unique_ptr<item_t>>& get_items() const { return items; }
    Gtk::Grid& get_table() { return table; }
    Gtk::Entry& get_from_entry() { return from_entry; }
    Gtk::Entry& get_to_entry() { return to_entry; }
    Gtk::Entry& get_title_entry() { return title_entry; }
    Gtk::TextView& get_begin_view() { return begin_text; }
    Gtk::TextView& get_last_view() { return last_text; }
    Gtk::CheckButton& get_secret_check() { return secret_check; }

  private:
    const std::string book_dir;
    const std::string program_name;
    std::string scanned_from;  // the folder the grid shows
    std::vector<std::unique_ptr<item_t>> items;

    Gtk::Box from_row{Gtk::ORIENTATION_HORIZONTAL}, to_row{Gtk::ORIENTATION_HORIZONTAL},
        secret_row{Gtk::ORIENTATION_HORIZONTAL}, grid_buttons{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Label from_label, to_label, secret_label, caption, title_label, begin_label, last_label;
    Gtk::Entry from_entry, to_entry, title_entry;
    Gtk::Button browse_button, invert_button, update_button;
    Gtk::CheckButton secret_check;
    Gtk::ScrolledWindow scrolled;
    Gtk::Grid table;
    Gtk::TextView begin_text, last_text;
};

// Degrees of the angle spin as quarter turns: 0, 90, 180, 270 give 0 to 3;
// any other value is reported as "<name>: <value>: not 90/180/270." on
// standard error and gives 0.
uint64_t angle_to_turns(const std::string& name, double degrees);

// The size of a clip's grid thumbnail: halved until it fits the shrink
// size, then a quarter of that.
libgr::direction2ul_t clip_thumbnail_size(libgr::direction2ul_t size);

// Runs the make-album dialog for the book at book_dir over book_dialog and,
// on OK, checks the choices, makes the album with a progress window and
// rewrites the book's pages. True when the album and the book's pages were
// made.
bool make_album_from_dialog(Gtk::Dialog& book_dialog, const std::string& book_dir,
                            const std::string& program_name);

}  // namespace snapfolio

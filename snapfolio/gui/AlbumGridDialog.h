// What the album dialogs share: a header row, the secret flag, the grid of
// picture cells in a scrolled window, the title and the two texts, and the
// picture buttons that open a photo in the viewer or play a clip.
#pragma once

#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/scrolledwindow.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/gui/PictureCell.h"

namespace snapfolio {

class AlbumGridDialog : public Gtk::Dialog {
  public:
    Gtk::ScrolledWindow& get_scrolled() { return scrolled; }
    // Every cell, the ones still planned made first.
    std::vector<std::unique_ptr<PictureCell>>& get_items() {
        finish_rows();
        return items;
    }
    // Cells are still being made in the background; how many are made.
    bool filling() const { return next_planned < planned.size(); }
    size_t made() const { return items.size(); }
    Gtk::CheckButton& get_secret_check() { return secret_check; }
    Gtk::Entry& get_title_entry() { return title_entry; }
    Gtk::Label& get_title_label() { return title_label; }
    Gtk::TextView& get_begin_text() { return begin_text; }
    Gtk::TextView& get_last_text() { return last_text; }

    // The viewer on the cell's original photo; the player on the clip's
    // level that fits the play size.
    void button_image(size_t i);
    void button_movie(size_t i);
    // The grid grows with its content up to 640 pixels high, then scrolls.

    ~AlbumGridDialog() override;

  protected:
    // title: message number; header: the label (message) and the directory
    // shown; title_as_label: a read-only title.
    AlbumGridDialog(Gtk::Window& parent, e_message_local_t title, const std::string& program_dir,
                    e_message_local_t header, const std::string& dir, bool title_as_label,
                    bool cap_width);

    // Empties the grid.
    void clear_rows();
    // Makes the cells through `makers` (one call each, in order, each adding
    // one cell): a screenful at once, the rest a few at a time while the
    // main loop is idle, so that a big album opens at once and stays
    // responsive while its grid fills.
    void plan_rows(std::vector<std::function<void()>> makers);
    // Makes every cell still planned.
    void finish_rows();
    // OK and Apply act on every cell: the grid is filled first; any other
    // answer stops filling it.
    void on_response(int id) override;
    // Adds a cell at place `index` of the grid (rows_per grid rows per
    // picture) and connects its picture button.
    PictureCell& add_cell(std::unique_ptr<PictureCell> cell, size_t index, bool quality_row);
    // Title and texts of path; each non-empty one replaces what is shown.
    void show_texts(const path_t& path);
    // Reads the title and the two texts from the widgets (locale encoding).
    void read_texts(std::string& title, std::string& begin, std::string& last);

    std::string program_dir;
    Gtk::Box header_row{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Label header_label, dir_label;
    Gtk::Box secret_row{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::Label secret_label;
    Gtk::CheckButton secret_check;
    Gtk::ScrolledWindow scrolled;
    // The cells go into grids of a few rows each, stacked in `table`: a
    // chunk added, or a thumbnail arriving, lays out only its own grid, not
    // every cell of a big album. Columns are of one width in every chunk, so
    // that they line up.
    Gtk::Box table{Gtk::ORIENTATION_VERTICAL};
    std::vector<std::unique_ptr<Gtk::Grid>> chunks;
    std::vector<std::unique_ptr<Gtk::Box>> spacers;
    size_t packed_chunks = 0;
    Gtk::Label title_caption, begin_caption, last_caption;
    Gtk::Entry title_entry;
    Gtk::Label title_label;
    Gtk::TextView begin_text, last_text;
    std::vector<std::unique_ptr<PictureCell>> items;

  private:
    // Makes planned cells for a short while; false when none is left.
    bool fill_some();
    // Puts the chunks whose cells are all made (every chunk once none is
    // planned) into the window.
    void pack_chunks();

    bool cap_width;
    std::vector<std::function<void()>> planned;
    size_t next_planned = 0;
    sigc::connection filler;
};

}  // namespace snapfolio

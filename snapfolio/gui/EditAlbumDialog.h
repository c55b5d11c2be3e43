// The dialog in which the user curates one album: per picture its comment,
// good / subtle / fail, an optional quarter turn and the five marks. OK and
// Apply write the marks and comments, turn the pictures given a turn,
// rebuild the album's sizes and pages and, when a good picture changed, the
// book's best-of pages. Cancel writes nothing.
#pragma once

#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/gui/AlbumGridDialog.h"

namespace snapfolio {

class EditAlbumDialog : public AlbumGridDialog {
  public:
    EditAlbumDialog(Gtk::Window& parent, const path_t& album_path, const std::string& program_dir);

    // The cells of the album's "original/" files; false when it cannot be
    // listed.
    bool make_rows();
    // The album's title and texts; each non-empty one replaces the widget's.
    void update_comment();
    // Saves each changed picture comment; sets best_changed for a good one.
    // Every failure goes to err; false when any.
    bool save_all_comment(bool& best_changed, std::ostream& err);
    // Every picture with its turn in quarter turns (0 for a bad angle, which
    // is reported on standard error).
    std::vector<files_t> selected_files();

    // Cell handlers.
    void button_good(size_t i);
    void button_subtle(size_t i);
    void button_fail(size_t i);
    void button_mark(size_t i, e_mark_t mark);
    void button_is_rotate(size_t i);
    void button_rotate(size_t i);

    const best_t& get_good() const { return good; }
    const best_t& get_fail() const { return fail; }
    const album_t& get_marks() const { return marks; }

  protected:
    void on_response(int id) override;

  private:
    // The cell of files[i], connected to the handlers.
    void make_cell(size_t i);
    // OK and Apply: everything on disk, then the pages.
    void save();

    path_t album_path;
    std::string album_dir;
    std::vector<std::string> files;
    best_t good, fail;
    album_t marks;
};

}  // namespace snapfolio

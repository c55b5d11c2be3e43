// The two best-of collections of a book in the picture-cell layout: "_Best"
// (every picture marked good in the book's own albums) and "_BestBook"
// (every picture marked best anywhere below the book). Editable from the
// edit-book dialog: the marks and comments of many albums change at once,
// and OK or Apply writes the changed albums back, rebuilds their pages and
// the collection's. Read-only elsewhere: marks neither react nor take focus
// and there is no Apply.
#pragma once

#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/gui/AlbumGridDialog.h"

namespace snapfolio {

class CollectionDialog : public AlbumGridDialog {
  public:
    // The cells of every contributing album; false when the book cannot be
    // listed.
    bool make_rows();
    // The collection's title and texts.
    void update_comment();
    // A mark of cell i pressed or released: that list of the cell's album.
    void button_mark(size_t i, e_mark_t mark);

    const std::vector<album_t>& get_albums() const { return albums; }
    bool is_editable() const { return editable; }

  protected:
    // book_wide: "_BestBook" (best marks of the whole hierarchy), else
    // "_Best" (good marks of the book's own albums).
    CollectionDialog(Gtk::Window& parent, const path_t& entry_path, const std::string& program_dir,
                     bool editable, bool book_wide);

    void on_response(int id) override;

  private:
    // The cell of `name` in albums[a], connected to the mark handlers.
    void make_cell(size_t a, const std::string& name);
    void save();

    path_t entry_path;
    bool editable;
    bool book_wide;
    std::vector<album_t> albums;
    std::vector<size_t> cell_album;  // the album index of each cell
};

class GoodAlbumDialog : public CollectionDialog {
  public:
    GoodAlbumDialog(Gtk::Window& parent, const path_t& entry_path, const std::string& program_dir,
                    bool editable)
        : CollectionDialog(parent, entry_path, program_dir, editable, false) {}
};

class BestBookDialog : public CollectionDialog {
  public:
    BestBookDialog(Gtk::Window& parent, const path_t& entry_path, const std::string& program_dir,
                   bool editable)
        : CollectionDialog(parent, entry_path, program_dir, editable, true) {}
};

}  // namespace snapfolio

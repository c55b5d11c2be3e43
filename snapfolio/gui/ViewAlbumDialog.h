// One album shown read-only in the picture-cell layout of the edit dialog:
// quality and marks as they are, the comments and texts unchangeable; only
// the picture buttons act (viewer, player).
#pragma once

#include <string>

#include "snapfolio/gui/AlbumGridDialog.h"

namespace snapfolio {

class ViewAlbumDialog : public AlbumGridDialog {
  public:
    ViewAlbumDialog(Gtk::Window& parent, const path_t& album_path, const std::string& program_dir);

    // The album's texts and one read-only cell per "original/" file; false
    // when that folder cannot be listed.
    bool make_rows();

  private:
    path_t album_path;
};

}  // namespace snapfolio

#include "snapfolio/gui/albumdialogs.h"

#include "snapfolio/gui/CollectionDialog.h"
#include "snapfolio/gui/EditAlbumDialog.h"
#include "snapfolio/gui/ViewAlbumDialog.h"

namespace snapfolio {

namespace {

// The grid's size is known only once the new dialog is laid out: the old
// position is put back as soon as the grid is tall enough to hold it.
int run_scrolled(AlbumGridDialog& dialog, Glib::RefPtr<Gtk::Adjustment>& scroll) {
    sigc::connection restore;
    if (scroll) {
        const double value = scroll->get_value();
        Glib::RefPtr<Gtk::Adjustment> now = dialog.get_scrolled().get_vadjustment();
        restore = now->signal_changed().connect([now, value, &restore] {
            if (now->get_upper() - now->get_page_size() < value) return;
            now->set_value(value);
            restore.disconnect();
        });
    }
    const int response = dialog.run();
    restore.disconnect();
    scroll = dialog.get_scrolled().get_vadjustment();
    return response;
}

}  // namespace

int run_edit_album_dialog(Gtk::Window& parent, const path_t& album, const std::string& program_dir,
                          Glib::RefPtr<Gtk::Adjustment>& scroll) {
    EditAlbumDialog dialog(parent, album, program_dir);
    return run_scrolled(dialog, scroll);
}

int run_good_album_dialog(Gtk::Window& parent, const path_t& entry, const std::string& program_dir,
                          bool editable, Glib::RefPtr<Gtk::Adjustment>& scroll) {
    GoodAlbumDialog dialog(parent, entry, program_dir, editable);
    return run_scrolled(dialog, scroll);
}

int run_best_book_dialog(Gtk::Window& parent, const path_t& entry, const std::string& program_dir,
                         bool editable, Glib::RefPtr<Gtk::Adjustment>& scroll) {
    BestBookDialog dialog(parent, entry, program_dir, editable);
    return run_scrolled(dialog, scroll);
}

void run_view_album_dialog(Gtk::Window& parent, const path_t& album,
                           const std::string& program_dir) {
    ViewAlbumDialog dialog(parent, album, program_dir);
    dialog.run();
}

}  // namespace snapfolio

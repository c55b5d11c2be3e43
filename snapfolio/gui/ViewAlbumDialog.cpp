#include "snapfolio/gui/ViewAlbumDialog.h"

#include <functional>
#include <memory>

#include "libutils/file.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

ViewAlbumDialog::ViewAlbumDialog(Gtk::Window& parent, const path_t& album_path_,
                                 const std::string& program_dir)
    : AlbumGridDialog(parent, msg_view, program_dir, msg_album, album_path_.str(), true, true),
      album_path(album_path_) {
    header_label.set_width_chars(20);
    dir_label.set_width_chars(50);
    secret_check.set_active(is_secret(album_path.str()));
    secret_check.set_sensitive(false);
    begin_text.set_editable(false);
    last_text.set_editable(false);
    make_rows();
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    show_all_children();
}

bool ViewAlbumDialog::make_rows() {
    clear_rows();
    // Shared by the cells made later.
    struct lists_t {
        best_t good, fail;
        album_t marks;
    };
    auto lists = std::make_shared<lists_t>();
    lists->good.load(album_path, "good.txt");
    lists->fail.load(album_path, "fail.txt");
    lists->marks.load(album_path);
    show_texts(album_path);

    std::vector<std::string> files;
    if (!libutils::getfiles(files, album_path.str("original"))) return false;
    std::vector<std::function<void()>> makers;
    for (size_t i = 0; i < files.size(); ++i) {
        makers.push_back([this, i, name = files[i], lists] {
            PictureCell& cell = add_cell(
                std::make_unique<PictureCell>(album_path, name, name, lists->marks, true), i, true);
            cell.show_quality(lists->good, lists->fail);
            // Looking only: no turn controls.
            if (cell.is_rotate_check.get_parent()) cell.quality_box.remove(cell.is_rotate_check);
            if (cell.angle_spin.get_parent()) cell.quality_box.remove(cell.angle_spin);
            cell.set_editable(false);
        });
    }
    plan_rows(std::move(makers));
    return true;
}

}  // namespace snapfolio

#include "snapfolio/gui/CollectionDialog.h"

#include <functional>
#include <iostream>
#include <sstream>

#include "libutils/path.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/curate.h"
#include "snapfolio/gui/ProgWin.h"
#include "snapfolio/gui/errorbox.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

CollectionDialog::CollectionDialog(Gtk::Window& parent, const path_t& entry_path_,
                                   const std::string& program_dir, bool editable_, bool book_wide_)
    : AlbumGridDialog(parent, msg_best_pictures, program_dir, msg_album_folder, entry_path_.str(),
                      false, false),
      entry_path(entry_path_),
      editable(editable_),
      book_wide(book_wide_) {
    secret_check.set_active(is_secret(entry_path.str()));
    secret_check.set_sensitive(editable);
    title_entry.set_editable(editable);
    begin_text.set_editable(editable);
    last_text.set_editable(editable);
    make_rows();
    update_comment();
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    if (editable) {
        add_button(stock_label("_Apply"), Gtk::RESPONSE_APPLY);
        add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    }
    show_all_children();
}

bool CollectionDialog::make_rows() {
    clear_rows();
    cell_album.clear();
    bool listed = collection_albums(albums, entry_path, book_wide);
    std::vector<std::function<void()>> makers;
    for (size_t a = 0; a < albums.size(); ++a) {
        const best_t& list = book_wide ? albums[a].best : albums[a].good;
        for (const std::string& name : list.names)
            makers.push_back([this, a, name] { make_cell(a, name); });
    }
    plan_rows(std::move(makers));
    return listed;
}

void CollectionDialog::make_cell(size_t a, const std::string& name) {
    const album_t& album = albums[a];
    const size_t k = items.size();
    const std::string shown = "../" + album.path.name + "/" + name;
    PictureCell& cell =
        add_cell(std::make_unique<PictureCell>(album.path, name, shown, album, false), k, false);
    cell.set_editable(editable);
    for (int m = 0; m < mark_count; ++m)
        cell.mark_checks[m].signal_toggled().connect(
            sigc::bind(sigc::mem_fun(*this, &CollectionDialog::button_mark), k, e_mark_t(m)));
    cell_album.push_back(a);
}

void CollectionDialog::update_comment() {
    show_texts(entry_path);
}

void CollectionDialog::button_mark(size_t i, e_mark_t mark) {
    // Read-only: the checks are insensitive, and nothing is ever saved.
    if (!editable || i >= items.size()) return;
    PictureCell& cell = *items[i];
    best_t& list = albums[cell_album[i]].*mark_descs[mark].list;
    if (cell.mark_checks[mark].get_active())
        list.insert(cell.name);
    else
        list.erase(cell.name);
}

void CollectionDialog::on_response(int id) {
    AlbumGridDialog::on_response(id);
    if (id == Gtk::RESPONSE_APPLY || (id == Gtk::RESPONSE_OK && editable)) save();
}

void CollectionDialog::save() {
    std::ostringstream failed;
    std::string title, begin, last;
    read_texts(title, begin, last);
    // A collection edited before its pages were ever made.
    libutils::mkdir(entry_path.str());
    if (title.empty())
        show_error_box(*this, getmsg(msg_no_title));
    else if (!savecommenttxt(entry_path, title, begin, last, failed))
        show_error_box(*this, std::string(getmsg(msg_save_failed)) + "\n" + failed.str());
    set_secret(entry_path, secret_check.get_active(), std::cerr);

    std::vector<comment_edit_t> comments;
    finish_rows();
    for (size_t i = 0; i < items.size(); ++i)
        comments.push_back(
            {cell_album[i], items[i]->name, items[i]->comment, items[i]->comment_text()});
    ProgWin progress(*this);
    progress.clear();
    progress.show();
    std::ostringstream err;
    bool ok = save_collection(albums, comments, entry_path, book_wide, progress.signals, err);
    progress.hide();
    if (!ok) show_error_box(*this, std::string(getmsg(msg_save_failed)) + "\n" + err.str());
}

}  // namespace snapfolio

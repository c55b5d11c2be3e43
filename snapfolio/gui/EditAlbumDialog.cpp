#include "snapfolio/gui/EditAlbumDialog.h"

#include <functional>
#include <iostream>
#include <sstream>

#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/curate.h"
#include "snapfolio/gui/ProgWin.h"
#include "snapfolio/gui/errorbox.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

EditAlbumDialog::EditAlbumDialog(Gtk::Window& parent, const path_t& album_path_,
                                 const std::string& program_dir)
    : AlbumGridDialog(parent, msg_edit, program_dir, msg_album_folder, album_path_.str(), false,
                      false),
      album_path(album_path_),
      album_dir(album_path_.str()) {
    secret_check.set_active(is_secret(album_dir));
    make_rows();
    update_comment();
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    add_button(stock_label("_Apply"), Gtk::RESPONSE_APPLY);
    add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    show_all_children();
}

bool EditAlbumDialog::make_rows() {
    clear_rows();
    good.load(album_path, "good.txt");
    fail.load(album_path, "fail.txt");
    marks.load(album_path);
    files.clear();
    if (!libutils::getfiles(files, album_path.str("original"))) return false;

    std::vector<std::function<void()>> makers;
    for (size_t i = 0; i < files.size(); ++i) makers.push_back([this, i] { make_cell(i); });
    plan_rows(std::move(makers));
    return true;
}

void EditAlbumDialog::make_cell(size_t i) {
    const std::string& name = files[i];
    PictureCell& cell =
        add_cell(std::make_unique<PictureCell>(album_path, name, name, marks, true), i, true);
    cell.show_quality(good, fail);

    cell.good_radio.signal_toggled().connect(
        sigc::bind(sigc::mem_fun(*this, &EditAlbumDialog::button_good), i));
    cell.subtle_radio.signal_toggled().connect(
        sigc::bind(sigc::mem_fun(*this, &EditAlbumDialog::button_subtle), i));
    cell.fail_radio.signal_toggled().connect(
        sigc::bind(sigc::mem_fun(*this, &EditAlbumDialog::button_fail), i));
    cell.is_rotate_check.signal_clicked().connect(
        sigc::bind(sigc::mem_fun(*this, &EditAlbumDialog::button_is_rotate), i));
    cell.angle_spin.signal_value_changed().connect(
        sigc::bind(sigc::mem_fun(*this, &EditAlbumDialog::button_rotate), i));
    for (int m = 0; m < mark_count; ++m)
        cell.mark_checks[m].signal_toggled().connect(
            sigc::bind(sigc::mem_fun(*this, &EditAlbumDialog::button_mark), i, e_mark_t(m)));
}

void EditAlbumDialog::update_comment() {
    show_texts(album_path);
}

void EditAlbumDialog::button_good(size_t i) {
    PictureCell& cell = *items[i];
    if (cell.good_radio.get_active())
        good.insert(cell.name);
    else
        good.erase(cell.name);
}

void EditAlbumDialog::button_subtle(size_t i) {
    PictureCell& cell = *items[i];
    if (!cell.subtle_radio.get_active()) return;
    for (Gtk::CheckButton& check : cell.mark_checks) check.set_active(false);
}

void EditAlbumDialog::button_fail(size_t i) {
    PictureCell& cell = *items[i];
    if (cell.fail_radio.get_active()) {
        fail.insert(cell.name);
        for (Gtk::CheckButton& check : cell.mark_checks) check.set_active(false);
    } else {
        fail.erase(cell.name);
    }
}

void EditAlbumDialog::button_mark(size_t i, e_mark_t mark) {
    PictureCell& cell = *items[i];
    best_t& list = marks.*mark_descs[mark].list;
    if (cell.mark_checks[mark].get_active()) {
        list.insert(cell.name);
        // A marked picture is always good.
        cell.good_radio.set_active(true);
    } else {
        list.erase(cell.name);
    }
}

void EditAlbumDialog::button_is_rotate(size_t i) {
    PictureCell& cell = *items[i];
    cell.angle_spin.set_sensitive(cell.is_rotate_check.get_active());
}

void EditAlbumDialog::button_rotate(size_t i) {
    PictureCell& cell = *items[i];
    cell.load_picture(quarter_turns(cell.name, cell.angle(), std::cerr));
}

bool EditAlbumDialog::save_all_comment(bool& best_changed, std::ostream& err) {
    std::vector<comment_edit_t> comments;
    for (const auto& cell : get_items())
        comments.push_back({0, cell->name, cell->comment, cell->comment_text()});
    return snapfolio::save_all_comment(album_dir, comments, good, best_changed, err);
}

std::vector<files_t> EditAlbumDialog::selected_files() {
    std::vector<files_t> out;
    for (const auto& cell : get_items()) {
        uint64_t turns = cell->rotatable && cell->is_rotate_check.get_active()
                             ? quarter_turns(cell->name, cell->angle(), std::cerr)
                             : 0;
        out.push_back({cell->name, turns});
    }
    return out;
}

void EditAlbumDialog::on_response(int id) {
    AlbumGridDialog::on_response(id);
    if (id == Gtk::RESPONSE_OK || id == Gtk::RESPONSE_APPLY) save();
}

void EditAlbumDialog::save() {
    // Marks, comments and the secret flag are written before the pages; a
    // failure of one is shown and the rest still goes on.
    bool best_changed = false;
    std::ostringstream failed;
    save_album_marks(marks, good, fail, best_changed, failed);

    std::string title, begin, last;
    read_texts(title, begin, last);
    if (title.empty())
        show_error_box(*this, getmsg(msg_no_title));
    else
        savecommenttxt(album_path, title, begin, last, failed);
    // The pictures' comments do not depend on the album's title: they are
    // saved either way rather than lost with the dialog.
    save_all_comment(best_changed, failed);
    set_secret(album_path, secret_check.get_active(), failed);
    if (!failed.str().empty())
        show_error_box(*this, std::string(getmsg(msg_save_failed)) + "\n" + failed.str());

    if (album_path.name == "_Best") return;

    ProgWin progress(*this);
    progress.clear();
    progress.show();
    progress.setProgress1(0);
    std::ostringstream err;
    if (!updatealbum(album_path, selected_files(), progress.signals, err)) {
        libutils::report(std::cerr, album_dir, ": updatealbum() fail.");
        show_error_box(*this, std::string(getmsg(msg_build_failed)) + "\n" + err.str());
        return;
    }
    if (best_changed)
        rebuild_best_of(album_path, progress.signals.best_index, progress.signals.best_list);
    progress.hide();
}

}  // namespace snapfolio

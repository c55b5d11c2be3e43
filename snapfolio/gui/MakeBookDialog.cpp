#include "snapfolio/gui/MakeBookDialog.h"

#include <gtkmm/filechooserdialog.h>
#include <sys/stat.h>

#include <iostream>

#include "libutils/error.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/entryops.h"
#include "snapfolio/gui/errorbox.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

MakeBookDialog::MakeBookDialog(Gtk::Window& parent, const path_t& parent_book_path_)
    : Gtk::Dialog(msg(msg_new_book), parent, true), parent_book_path(parent_book_path_) {
    Gtk::Box& box = *get_content_area();
    dir_label.set_text(msg(msg_book_folder));
    dir_label.set_width_chars(20);
    dir_entry.set_width_chars(50);
    browse_button.set_label(msg(msg_browse));
    dir_row.pack_start(dir_label, Gtk::PACK_SHRINK);
    dir_row.pack_start(dir_entry);
    dir_row.pack_start(browse_button, Gtk::PACK_SHRINK);
    box.pack_start(dir_row, Gtk::PACK_SHRINK);

    secret_label.set_text(msg(msg_secret));
    secret_check.set_active(is_secret(parent_book_path.str()));  // the parent's flag by default
    secret_row.pack_start(secret_label, Gtk::PACK_SHRINK);
    secret_row.pack_start(secret_check, Gtk::PACK_SHRINK);
    box.pack_start(secret_row, Gtk::PACK_SHRINK);

    title_label.set_text(msg(msg_title));
    title_label.set_width_chars(20);
    title_entry.set_width_chars(50);
    title_row.pack_start(title_label, Gtk::PACK_SHRINK);
    title_row.pack_start(title_entry);
    box.pack_start(title_row, Gtk::PACK_SHRINK);
    begin_label.set_text(msg(msg_head_text));
    last_label.set_text(msg(msg_last_text));
    begin_text.set_size_request(300, 60);
    last_text.set_size_request(300, 60);
    box.pack_start(begin_label, Gtk::PACK_SHRINK);
    box.pack_start(begin_text);
    box.pack_start(last_label, Gtk::PACK_SHRINK);
    box.pack_start(last_text);

    // The fields are named after their labels, for screen readers.
    dir_entry.get_accessible()->set_name(msg(msg_book_folder));
    secret_check.get_accessible()->set_name(msg(msg_secret));
    title_entry.get_accessible()->set_name(msg(msg_title));
    begin_text.get_accessible()->set_name(msg(msg_head_text));
    last_text.get_accessible()->set_name(msg(msg_last_text));
    dir_entry.signal_focus_out_event().connect(
        sigc::mem_fun(*this, &MakeBookDialog::button_update));
    browse_button.signal_clicked().connect(
        sigc::mem_fun(*this, &MakeBookDialog::button_directory));
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    add_button(stock_label("_Apply"), Gtk::RESPONSE_APPLY);
    add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    show_all_children();
}

path_t MakeBookDialog::get_bookdir() const {
    return path_t("", parent_book_path.str(), from_utf8(dir_entry.get_text()));
}

void MakeBookDialog::button_directory() {
    Gtk::FileChooserDialog chooser(*this, msg(msg_camera_folder),
                                   Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
    chooser.set_current_folder(to_utf8(get_bookdir().str()));
    chooser.add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    chooser.add_button(stock_label("_Open"), Gtk::RESPONSE_OK);
    if (chooser.run() != Gtk::RESPONSE_OK) return;
    // A folder inside the parent book is named relative to it, as typed.
    std::string chosen = chooser.get_filename();
    const std::string inside = parent_book_path.str() + "/";
    if (chosen.compare(0, inside.size(), inside) == 0) chosen = chosen.substr(inside.size());
    dir_entry.set_text(to_utf8(chosen));
    button_update(nullptr);
}

bool MakeBookDialog::button_update(GdkEventFocus*) {
    const path_t book = get_bookdir();
    std::string t, b, l;
    loadcomment(book.str("txt"), t, b, l);
    if (!t.empty()) title_entry.set_text(to_utf8(t));
    if (!b.empty()) begin_text.get_buffer()->set_text(to_utf8(b));
    if (!l.empty()) last_text.get_buffer()->set_text(to_utf8(l));
    secret_check.set_active(is_secret(book.str()));
    show_all_children();
    return true;
}

void MakeBookDialog::on_response(int id) {
    Gtk::Dialog::on_response(id);
    if (id != Gtk::RESPONSE_OK && id != Gtk::RESPONSE_APPLY) return;
    made_book = false;
    const path_t book = get_bookdir();
    book_dir = book.str();
    title = from_utf8(title_entry.get_text());
    begin = text_of(begin_text);
    last = text_of(last_text);
    if (!valid_entry_name(book.name)) {
        show_error_box(*this, book_dir + ": not a name inside this book.");
        return;
    }
    ::mkdir(book_dir.c_str(), 0755);
    if (!savecommenttxt(book, title, begin, last, std::cerr)) {
        show_error_box(*this, getmsg(msg_save_failed));
        return;
    }
    made_book = true;
    set_secret(book_dir, secret_check.get_active(), std::cerr);
    if (!makehtmlbook(book, std::cerr))
        libutils::report(std::cerr, "makehtmlindex(book_directory) fail.");
    else if (!makehtmlbook(parent_book_path, std::cerr))
        libutils::report(std::cerr, "makehtmlindex(m_album) fail.");
}

}  // namespace snapfolio

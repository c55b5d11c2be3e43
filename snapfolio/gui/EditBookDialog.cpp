#include "snapfolio/gui/EditBookDialog.h"

#include <gtkmm/messagedialog.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <sstream>

#include "libutils/error.h"
#include "snapfolio/engine/bookbatch.h"
#include "snapfolio/engine/bookbest.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/entryops.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/MakeAlbumDialog.h"
#include "snapfolio/gui/MakeBookDialog.h"
#include "snapfolio/gui/booklist.h"
#include "snapfolio/gui/errorbox.h"
#include "snapfolio/gui/launch.h"
#include "snapfolio/gui/present.h"
#include "snapfolio/gui/albumdialogs.h"
#include "snapfolio/gui/textconv.h"
#include "snapfolio/gui/scrollfit.h"

namespace snapfolio {

namespace {

// The list grows with its content up to this height, then scrolls.
const int max_list_height = 640;

bool is_own_action(int response) {
    return response >= EditBookDialog::response_new_book &&
           response <= EditBookDialog::response_browser;
}

// Runs an entry's dialog from the book editor: again after apply, keeping
// the scroll position; once after OK; any other answer ends it.
template <class Run>
int run_entry_dialog(Run run) {
    Glib::RefPtr<Gtk::Adjustment> scroll;
    int response;
    do response = run(scroll);
    while (response == Gtk::RESPONSE_APPLY);
    return response;
}

}  // namespace

int run_edit_book(Gtk::Window& parent, const path_t& book, const std::string& program_dir,
                  const std::string& program_name, const std::function<void()>& on_saved) {
    for (;;) {
        EditBookDialog dialog(parent, book, program_dir, program_name);
        const int response = dialog.run();
        const bool saved = response == Gtk::RESPONSE_OK || response == Gtk::RESPONSE_APPLY;
        if (saved && on_saved) on_saved();
        if (is_own_action(response) || response == Gtk::RESPONSE_APPLY) continue;
        if (response == Gtk::RESPONSE_OK && dialog.empty()) continue;
        return response;
    }
}

EditBookDialog::EditBookDialog(Gtk::Window& parent, const path_t& book_path_,
                               const std::string& program_dir_, const std::string& program_name_)
    : Gtk::Dialog(msg(msg_edit), parent, true),
      book_path(book_path_),
      album_dir(book_path_.str()),
      program_dir(program_dir_),
      program_name(program_name_),
      progwin(*this) {
    Gtk::Box& box = *get_content_area();
    secret_label.set_text(msg(msg_secret));
    secret_check.set_active(is_secret(album_dir));
    secret_row.pack_start(secret_label, Gtk::PACK_SHRINK);
    secret_row.pack_start(secret_check, Gtk::PACK_SHRINK);
    box.pack_start(secret_row, Gtk::PACK_SHRINK);
    box.pack_start(title_entry, Gtk::PACK_SHRINK);
    box.pack_start(begin_text, Gtk::PACK_SHRINK);
    table.set_row_spacing(2);
    table.set_column_spacing(6);
    scrolled.add(table);
    box.pack_start(scrolled);
    box.pack_start(last_text, Gtk::PACK_SHRINK);
    make_items();
    follow_table_size(scrolled, table, max_list_height, true);
    // The fields have no labels of their own: screen readers get names.
    secret_check.get_accessible()->set_name(msg(msg_secret));
    title_entry.get_accessible()->set_name(msg(msg_title));
    begin_text.get_accessible()->set_name(msg(msg_head_text));
    last_text.get_accessible()->set_name(msg(msg_last_text));

    add_button(msg(msg_open_browser), response_browser);
    add_button(msg(msg_new_book), response_new_book);
    add_button(msg(msg_new_album), response_new_album);
    add_button(msg(msg_update_all), response_update_all);
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    add_button(stock_label("_Apply"), Gtk::RESPONSE_APPLY);
    add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    show_all_children();
}

bool EditBookDialog::make_items() {
    items.clear();
    dirs.clear();
    std::string title, head, last;
    loadcommenttxt(book_path, title, head, last);
    title_entry.set_text(to_utf8(title));
    begin_text.get_buffer()->set_text(to_utf8(head));
    last_text.get_buffer()->set_text(to_utf8(last));

    dirs = reversed_dirs(album_dir);
    std::vector<book_entry_t> entries;
    if (!list_book(entries, album_dir)) return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        const book_entry_t& e = entries[i];
        items.push_back(std::make_unique<item_t>());
        item_t& row = *items.back();
        row.has_original = e.has_viewer;
        row.path = path_t("", album_dir, e.name).str();
        row.name = e.name;
        const Glib::ustring shown_name = to_utf8(e.name);
        row.name_entry.set_text(shown_name);
        row.name_entry.set_width_chars((int)shown_name.length());
        row.main_button.set_label(msg(row.has_original ? msg_list : msg_edit));
        row.count_label.set_text(to_utf8(e.count));
        row.title_label.set_text(to_utf8(e.title));
        row.comment_label.set_text(to_utf8(e.comment));
        row.remove_button.set_label(msg(msg_remove));
        // Screen readers and automation tell the rows apart by their names.
        row.name_entry.get_accessible()->set_name(shown_name);
        row.main_button.get_accessible()->set_name(shown_name + " " +
                                                   row.main_button.get_label());
        row.remove_button.get_accessible()->set_name(shown_name + " " +
                                                     row.remove_button.get_label());

        Gtk::Widget* cells[] = {&row.name_entry,  &row.main_button,   &row.count_label,
                                &row.title_label, &row.comment_label, &row.remove_button};
        const int columns[] = {0, 2, 3, 4, 5, 6};
        for (int c = 0; c < 6; ++c) {
            cells[c]->set_hexpand(true);
            cells[c]->set_vexpand(true);
            table.attach(*cells[c], columns[c], (int)i, 1, 1);
        }
        row.main_button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &EditBookDialog::button_list), i));
        row.remove_button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &EditBookDialog::button_remove), i));
    }
    return true;
}

void EditBookDialog::button_list(size_t index) {
    if (index >= items.size()) return;
    const path_t entry("", album_dir, items[index]->name);
    const std::string& name = entry.name;
    int response;
    if (name == "_Best") {
        response = run_entry_dialog([&](Glib::RefPtr<Gtk::Adjustment>& scroll) {
            return run_good_album_dialog(*this, entry, program_dir, true, scroll);
        });
    } else if (name == "_BestBook") {
        response = run_entry_dialog([&](Glib::RefPtr<Gtk::Adjustment>& scroll) {
            return run_best_book_dialog(*this, entry, program_dir, true, scroll);
        });
    } else if (!is_dir(entry.str("thumb"))) {
        // A nested book: its editor, and this book's pages after each save.
        run_edit_book(*this, entry, program_dir, program_name, [&] {
            if (!makehtmlbook(book_path, std::cerr))
                libutils::report(std::cerr, "makehtmlindex(m_albumdir) fail.");
            make_items();
            show_all_children();
        });
        bring_to_front(*this);
        return;
    } else {
        response = run_entry_dialog([&](Glib::RefPtr<Gtk::Adjustment>& scroll) {
            return run_edit_album_dialog(*this, entry, program_dir, scroll);
        });
    }
    if (response == Gtk::RESPONSE_OK || response == Gtk::RESPONSE_APPLY) {
        if (!makehtmlbook(book_path, std::cerr))
            libutils::report(std::cerr, "makehtmlindex(m_albumdir) fail.");
        make_items();
        show_all_children();
    }
    bring_to_front(*this);
}

void EditBookDialog::button_remove(size_t index) {
    if (index >= items.size()) return;
    const std::string path = items[index]->path;
    const Glib::ustring question = msg(msg_remove);
    Gtk::MessageDialog box(*this, question + "\n" + to_utf8(path), false, Gtk::MESSAGE_WARNING,
                           Gtk::BUTTONS_OK_CANCEL, true);
    // Named after its title, which says which of the two questions it is.
    box.set_title(question + " (1/2)");
    box.get_accessible()->set_name(box.get_title());
    if (box.run() != Gtk::RESPONSE_OK) return;
    box.set_title(question + " (2/2)");
    box.get_accessible()->set_name(box.get_title());
    if (box.run() != Gtk::RESPONSE_OK) return;
    box.hide();
    // Removed by walking the tree: a link is removed as a link, and nothing
    // outside the entry is touched.
    std::ostringstream err;
    if (!remove_tree(path, err)) show_error_box(*this, err.str());
    if (!makehtmlbook(book_path, std::cerr)) {
        libutils::report(std::cerr, album_dir, ": makehtmlbook() fail.");
        return;
    }
    make_items();
    show_all_children();
}


bool EditBookDialog::batchupdate(const path_t& path, std::ostream& err) {
    return snapfolio::batchupdate(path, progwin.signals, err);
}

void EditBookDialog::on_response(int id) {
    Gtk::Dialog::on_response(id);
    switch (id) {
        case response_new_book:
            make_book();
            break;
        case response_new_album:
            make_album();
            break;
        case response_browser:
            start_browser(*this, album_dir);
            break;
        case response_update_all:
        case Gtk::RESPONSE_OK:
        case Gtk::RESPONSE_APPLY:
            save(id);
            break;
        default:
            break;
    }
}

void EditBookDialog::make_book() {
    MakeBookDialog dialog(*this, book_path);
    for (;;) {
        const int response = dialog.run();
        if (response == Gtk::RESPONSE_OK || response == Gtk::RESPONSE_APPLY) {
            if (dialog.made() && dialog.get_title_text().empty())
                show_error_box(dialog, getmsg(msg_no_title));
            else if (response == Gtk::RESPONSE_OK && dialog.made())
                break;
            continue;
        }
        if (response == Gtk::RESPONSE_CANCEL || response == Gtk::RESPONSE_DELETE_EVENT) return;
    }
    dialog.hide();
    make_items();
    show_all_children();
}

void EditBookDialog::make_album() {
    if (make_album_from_dialog(*this, album_dir, program_name)) {
        make_items();
        show_all_children();
    }
}

void EditBookDialog::rename_entries(std::vector<std::string>& sub_books) {
    std::set<std::string> moved_into;
    for (const auto& row : items) {
        const std::string new_name = from_utf8(row->name_entry.get_text());
        if (new_name == row->name) continue;
        // Names stay inside the book; an error box says which was refused.
        if (!valid_entry_name(new_name)) {
            show_error_box(*this, new_name + ": not a name inside this book.");
            continue;
        }
        std::ostringstream err;
        if (!rename_entry(album_dir, row->name, new_name, err)) {
            std::cerr << err.str();
            show_error_box(*this, err.str());
            continue;
        }
        const size_t slash = new_name.rfind('/');
        if (slash != std::string::npos) moved_into.insert(new_name.substr(0, slash));
    }
    sub_books.assign(moved_into.begin(), moved_into.end());
}

void EditBookDialog::save(int response) {
    const std::string title = from_utf8(title_entry.get_text());
    if (title.empty())
        show_error_box(*this, getmsg(msg_no_title));
    else if (!savecommenttxt(book_path, title, text_of(begin_text), text_of(last_text), std::cerr))
        show_error_box(*this, getmsg(msg_save_failed));

    std::vector<std::string> sub_books;
    rename_entries(sub_books);

    progwin.show();
    progwin.setProgress5(0);
    progwin.setProgress6(0);
    for (const std::string& sub : sub_books) {
        const path_t book("", path_t("", album_dir, sub).str(), "");
        if (!makebesthtml(book, progwin.signals.best_index, progwin.signals.best_list))
            libutils::report(std::cerr, book.name, ": makebesthtml() fail.");
        if (!makehtmlbook(book, std::cerr)) {
            libutils::report(std::cerr, book.name, ": makehtmlbook() fail.");
            progwin.hide();
            return;
        }
    }
    progwin.setProgress5(0);
    progwin.setProgress6(0);
    if (!makebesthtml(path_t("", album_dir, ""), progwin.signals.best_index,
                      progwin.signals.best_list))
        libutils::report(std::cerr, book_path.name, ": makebesthtml() fail.");
    progwin.hide();

    set_secret(album_dir, secret_check.get_active(), std::cerr);
    if (!makehtmlbook(book_path, std::cerr)) {
        libutils::report(std::cerr, album_dir, ": makehtmlbook() fail.");
        return;
    }
    make_items();
    show_all_children();
    if (response != response_update_all) return;

    progwin.show();
    std::ostringstream err;
    if (!book_path.name.empty()) {
        batchupdate(book_path, err);
    } else {
        std::vector<std::string> sorted = dirs;
        std::sort(sorted.begin(), sorted.end());
        for (const std::string& d : sorted) batchupdate(path_t("", album_dir, d), err);
    }
    progwin.hide();
    if (!err.str().empty()) show_error_box(*this, getmsg(msg_update_all) + ("\n" + err.str()));
}

}  // namespace snapfolio

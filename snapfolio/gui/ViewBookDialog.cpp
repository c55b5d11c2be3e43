#include "snapfolio/gui/ViewBookDialog.h"

#include <algorithm>

#include "snapfolio/engine/comment.h"
#include "snapfolio/gui/launch.h"
#include "snapfolio/gui/present.h"
#include "snapfolio/gui/albumdialogs.h"
#include "snapfolio/gui/textconv.h"
#include "snapfolio/gui/scrollfit.h"

namespace snapfolio {

namespace {

// The list grows with its content up to this height, then scrolls.
const int max_list_height = 640;

}  // namespace

void open_view_entry(Gtk::Window& parent, const std::string& book_dir, const std::string& name,
                     const std::string& program_dir, bool best_of_first) {
    const path_t entry("", book_dir, name);
    const bool album = is_dir(entry.str("original"));
    Glib::RefPtr<Gtk::Adjustment> scroll;
    if (album && !best_of_first)
        run_view_album_dialog(parent, entry, program_dir);
    else if (name == "_BestBook")
        run_best_book_dialog(parent, entry, program_dir, false, scroll);
    else if (name == "_Best")
        run_good_album_dialog(parent, entry, program_dir, false, scroll);
    else if (album)
        run_view_album_dialog(parent, entry, program_dir);
    else {
        ViewBookDialog dialog(parent, entry, program_dir);
        dialog.run();
    }
}

ViewBookDialog::ViewBookDialog(Gtk::Window& parent, const path_t& book_path_,
                               const std::string& program_dir_)
    : Gtk::Dialog(msg(msg_view), parent, true),
      book_path(book_path_),
      book_dir(book_path_.str()),
      program_dir(program_dir_) {
    begin_text.set_editable(false);
    last_text.set_editable(false);
    Gtk::Box& box = *get_content_area();
    box.pack_start(title_label, Gtk::PACK_SHRINK);
    box.pack_start(begin_text, Gtk::PACK_SHRINK);
    table.set_row_spacing(2);
    table.set_column_spacing(6);
    scrolled.add(table);
    box.pack_start(scrolled);
    box.pack_start(last_text, Gtk::PACK_SHRINK);
    make_items();
    follow_table_size(scrolled, table, max_list_height, true);
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    show_all_children();
}

bool ViewBookDialog::make_items() {
    items.clear();
    std::string title, head, last;
    loadcommenttxt(book_path, title, head, last);
    title_label.set_text(to_utf8(title));
    begin_text.get_buffer()->set_text(to_utf8(head));
    last_text.get_buffer()->set_text(to_utf8(last));

    std::vector<book_entry_t> entries;
    if (!list_book(entries, book_dir)) return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        items.push_back(std::make_unique<view_row_t>(book_dir, entries[i]));
        view_row_t& row = *items.back();
        row.attach(table, (int)i);
        row.main_button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &ViewBookDialog::button_list), i));
        if (row.has_viewer)
            row.viewer_button.signal_clicked().connect(
                sigc::bind(sigc::mem_fun(*this, &ViewBookDialog::button_glimvue3), i));
    }
    return true;
}

void ViewBookDialog::button_glimvue3(size_t index) {
    if (index >= items.size()) return;
    start_glimvue3(*this, program_dir, viewer_targets(book_dir, items[index]->name));
    bring_to_front(*this);
}

void ViewBookDialog::button_list(size_t index) {
    if (index >= items.size()) return;
    open_view_entry(*this, book_dir, items[index]->name, program_dir, false);
    bring_to_front(*this);
}


}  // namespace snapfolio

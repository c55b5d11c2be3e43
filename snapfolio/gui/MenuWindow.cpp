#include "snapfolio/gui/MenuWindow.h"


#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "glimlib/message.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/message.h"
#include "snapfolio/gui/EditBookDialog.h"
#include "snapfolio/gui/GlobalOptionDialog.h"
#include "snapfolio/gui/ViewBookDialog.h"
#include "snapfolio/gui/launch.h"
#include "snapfolio/gui/present.h"
#include "snapfolio/gui/textconv.h"
#include "snapfolio/gui/scrollfit.h"

namespace snapfolio {

namespace {

// The list keeps growing with its content up to this height, then scrolls.
const int max_list_height = 640;

}  // namespace

void usage(const std::string& name) {
    std::cout << "usage: " << name << " [-h] [<from dir> <to dir>]" << std::endl;
}

MenuWindow::MenuWindow(int argc_, char** argv_) : argc(argc_), argv(argv_) {
    std::string arg0 = argc > 0 && argv[0] ? argv[0] : "snapfolio";
    program_dir = libutils::dirname(arg0);
    program_stem = libutils::basename(arg0);
    program_name = libutils::basename2(arg0);

    message_dir = libutils::dirname(glimlib::init_message(program_dir, program_stem));

    if (!loadini(message_dir, program_name)) {
        // First start: the user fills in the settings, or the program ends.
        run_option_dialog();
        if (!loadini(message_dir, program_name)) std::exit(0);
    }
    initexif();  // metering texts of the EXIF descriptions from the catalogue

    read_command_line();
    build_window();
}

void MenuWindow::read_command_line() {
    if (argc > 1 && std::string(argv[1]) == "-h") {
        usage(argv[0]);
        std::exit(0);
    }
    if (argc == 3) {
        // For this run only; nothing is saved.
        g_global.from = argv[1];
        g_global.album = argv[2];
    } else if (argc != 1) {
        usage(argv[0]);
        std::exit(0);
    }
}

void MenuWindow::build_window() {
    begin_text.set_editable(false);
    last_text.set_editable(false);
    vbox.pack_start(title_label);
    vbox.pack_start(begin_text);
    vbox.pack_start(scrolled);
    table.set_row_spacing(2);
    table.set_column_spacing(6);
    scrolled.add(table);
    make_items();
    vbox.pack_start(last_text);
    follow_table_size(scrolled, table, max_list_height, true);

    browser_button.set_label(msg(msg_open_browser));
    option_button.set_label(msg(msg_settings));
    edit_button.set_label(msg(msg_edit));
    close_button.set_label(msg(msg_close));
    set_title(to_utf8(glimlib::make_title(getmsg(msg_program_name), getmsg(msg_menu_window))));

    browser_button.signal_clicked().connect(
        sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_run_browser));
    option_button.signal_clicked().connect(
        sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_optionsetting));
    edit_button.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_edit));
    close_button.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_close));

    // Packed from the right: they read browser, settings, books, close.
    button_box.pack_end(close_button, Gtk::PACK_SHRINK);
    button_box.pack_end(edit_button, Gtk::PACK_SHRINK);
    button_box.pack_end(option_button, Gtk::PACK_SHRINK);
    button_box.pack_end(browser_button, Gtk::PACK_SHRINK);
    vbox.pack_start(button_box, Gtk::PACK_SHRINK);
    add(vbox);
    show_all_children();
}

bool MenuWindow::make_items() {
    album_root = g_global.album + "/";
    items.clear();  // each row's widgets leave the table with it

    std::string title, head, last;
    loadcommenttxt(path_t("", g_global.album, ""), title, head, last);
    title_label.set_text(to_utf8(title));
    begin_text.get_buffer()->set_text(to_utf8(head));
    last_text.get_buffer()->set_text(to_utf8(last));

    std::vector<book_entry_t> entries;
    if (!list_book(entries, g_global.album)) return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        items.push_back(std::make_unique<item_t>(g_global.album, entries[i]));
        item_t& row = *items.back();
        row.attach(table, (int)i);
        row.main_button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_itembutton), i));
        if (row.has_viewer)
            row.viewer_button.signal_clicked().connect(
                sigc::bind(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_glimvue3), i));
    }
    return true;
}

void MenuWindow::on_btn_clicked_itembutton(size_t index) {
    if (index >= items.size()) return;
    open_view_entry(*this, g_global.album, items[index]->name, program_dir, true);
    bring_to_front(*this);
}

void MenuWindow::on_btn_clicked_glimvue3(size_t index) {
    if (index >= items.size()) return;
    start_glimvue3(*this, program_dir, viewer_targets(g_global.album, items[index]->name));
    bring_to_front(*this);
}

void MenuWindow::on_btn_clicked_edit() {
    run_edit_book(*this, path_t("", g_global.album, ""), program_dir, program_name);
    make_items();
    show_all_children();
    bring_to_front(*this);
}

void MenuWindow::on_btn_clicked_optionsetting() {
    run_option_dialog();
    make_items();
    show_all_children();
}

void MenuWindow::run_option_dialog() {
    GlobalOptionDialog dialog(*this, program_dir, program_name);
    for (;;) {
        int response = dialog.run();
        if (response == Gtk::RESPONSE_CANCEL || response == Gtk::RESPONSE_DELETE_EVENT) break;
        // A settings file that could not be written keeps the dialog open
        // (its error box has been shown), so that the edits are not lost.
        if (response == Gtk::RESPONSE_OK && dialog.saved()) break;
    }
    dialog.hide();
}

void MenuWindow::on_btn_clicked_run_browser() {
    start_browser(*this, g_global.album);
}

void MenuWindow::on_btn_clicked_close() {
    std::exit(0);
}


}  // namespace snapfolio

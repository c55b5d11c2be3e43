#include "snapfolio/gui/MenuWindow.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "glimlib/message.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "libutils/text.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/message.h"
#include "snapfolio/gui/CollectionDialog.h"
#include "snapfolio/gui/GlobalOptionDialog.h"
#include "snapfolio/gui/ViewAlbumDialog.h"
#include "snapfolio/gui/standins.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

namespace {

// The list keeps growing with its content up to this height, then scrolls.
const int max_list_height = 640;

bool is_dir(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_best_of(const std::string& name) {
    return name == "_Best" || name == "_BestBook";
}

// First line of txt/count.txt, without trailing white space; "" without it.
std::string read_count(const path_t& entry) {
    std::ifstream in(entry.str("txt", "count.txt"), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) return std::string();
    libutils::chop2(line);
    return line;
}

std::string first_line(const std::string& text) {
    std::vector<std::string> lines;
    libutils::separate_token(lines, text, "\n");
    if (lines.empty()) return std::string();
    libutils::chop(lines.front());
    return lines.front();
}

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
    table.signal_size_allocate().connect(sigc::mem_fun(*this, &MenuWindow::table_size_allocate),
                                         true);

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

std::vector<std::string> MenuWindow::reversed_dirs() const {
    std::vector<std::string> dirs;
    libutils::getdirs(dirs, album_root);
    std::reverse(dirs.begin(), dirs.end());
    return dirs;
}

bool MenuWindow::make_items() {
    album_root = g_global.album + "/";
    items.clear();  // each row's widgets leave the table with it

    std::string title, head, last;
    loadcommenttxt(path_t("", g_global.album, ""), title, head, last);
    title_label.set_text(to_utf8(title));
    begin_text.get_buffer()->set_text(to_utf8(head));
    last_text.get_buffer()->set_text(to_utf8(last));

    std::vector<std::string> dirs;
    if (!libutils::getdirs(dirs, album_root)) return false;
    std::reverse(dirs.begin(), dirs.end());  // newest dated album first

    for (const std::string& name : dirs) {
        if (name == "txt") continue;  // the root's own texts
        path_t entry("", g_global.album, name);
        std::string entry_title, entry_head, entry_last;
        if (!loadcommenttxt(entry, entry_title, entry_head, entry_last)) continue;

        auto item = std::make_unique<item_t>();
        item->path = entry.str();
        item->name = name;
        Glib::ustring shown_name = to_utf8(name);
        item->name_label.set_text(shown_name);
        item->name_label.set_width_chars((int)shown_name.length());
        item->has_original = is_dir(entry.str("original"));
        if (is_best_of(name) || item->has_original) {
            item->has_viewer = true;
            item->main_button.set_label(msg(msg_list));
            item->viewer_button.set_label(msg(msg_viewer));
            item->count_label.set_text(to_utf8(read_count(entry)));
        } else {
            item->main_button.set_label(msg(msg_view));
        }
        item->title_label.set_text(to_utf8(entry_title));
        item->comment_label.set_text(to_utf8(first_line(entry_head)));
        items.push_back(std::move(item));
    }
    for (size_t i = 0; i < items.size(); ++i) add_row(i, *items[i]);
    return true;
}

void MenuWindow::add_row(size_t row, item_t& item) {
    auto attach = [&](Gtk::Widget& w, int column) {
        w.set_hexpand(true);
        w.set_vexpand(true);
        table.attach(w, column, (int)row, 1, 1);
    };
    attach(item.name_label, 0);
    attach(item.main_button, 2);
    if (item.has_viewer) {
        attach(item.viewer_button, 3);
        item.viewer_button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_glimvue3), row));
    }
    attach(item.count_label, 4);
    attach(item.title_label, 5);
    attach(item.comment_label, 6);
    item.main_button.signal_clicked().connect(
        sigc::bind(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_itembutton), row));
}

void MenuWindow::on_btn_clicked_itembutton(size_t index) {
    if (index >= items.size()) return;
    const item_t& item = *items[index];
    path_t entry("", g_global.album, item.name);
    if (item.name == "_Best") {
        GoodAlbumDialog dialog(*this, entry, program_dir, false);
        dialog.run();
    } else if (item.name == "_BestBook") {
        BestBookDialog dialog(*this, entry, program_dir, false);
        dialog.run();
    } else if (!item.has_original) {
        standin::run_view_book_dialog(*this, entry, program_dir);
    } else {
        ViewAlbumDialog dialog(*this, entry, program_dir);
        dialog.run();
    }
    return_to_window();
}

void MenuWindow::on_btn_clicked_glimvue3(size_t index) {
    if (index >= items.size()) return;
    const item_t& item = *items[index];
    std::string size_dir = "size" + std::to_string(g_global.view_size);
    std::string target = path_t("", g_global.album, item.name).str(size_dir);
    if (is_dir(target)) {
        standin::run_glimvue3(program_dir, {target});
    } else {
        // A best-of entry: the marked pictures of every directory of the root.
        const char* marks = item.name == "_BestBook" ? "best.txt" : "good.txt";
        std::vector<std::string> args;
        for (const std::string& d : reversed_dirs()) {
            path_t dir("", g_global.album, d);
            args.push_back("-C" + dir.str(size_dir));
            args.push_back("-@" + dir.str("txt", marks));
        }
        standin::run_glimvue3(program_dir, args);
    }
    return_to_window();
}

void MenuWindow::on_btn_clicked_edit() {
    standin::run_edit_book_dialog(*this, path_t("", g_global.album, ""), program_dir, program_name);
    make_items();
    show_all_children();
    return_to_window();
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
    standin::run_browser(g_global.album);
}

void MenuWindow::on_btn_clicked_close() {
    std::exit(0);
}

void MenuWindow::table_size_allocate(Gtk::Allocation& rectangle) {
    if (rectangle.get_height() <= 0) return;
    int width = std::min(rectangle.get_width(), get_screen()->get_width());
    int height = std::min(rectangle.get_height(), max_list_height);
    int old_width, old_height;
    scrolled.get_size_request(old_width, old_height);
    if (width != old_width || height != old_height) scrolled.set_size_request(width, height);
}

void MenuWindow::return_to_window() {
    if (iconify_before_present()) iconify();
    present();
}

}  // namespace snapfolio

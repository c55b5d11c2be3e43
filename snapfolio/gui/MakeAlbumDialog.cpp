#include "snapfolio/gui/MakeAlbumDialog.h"

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/messagedialog.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <iostream>
#include <sstream>

#include "libgr/image/rotate.h"
#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/curate.h"
#include "snapfolio/engine/entryops.h"
#include "snapfolio/engine/external.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/loaders.h"
#include "snapfolio/engine/movie.h"
#include "snapfolio/gui/ProgWin.h"
#include "snapfolio/gui/errorbox.h"
#include "snapfolio/gui/pixbuf.h"
#include "snapfolio/gui/present.h"
#include "snapfolio/gui/textconv.h"
#include "snapfolio/gui/scrollfit.h"

namespace snapfolio {

namespace {

// The grid grows with its content up to this height, then scrolls.
const int max_grid_height = 480;

// Today's local date as eight digits, the default album name.
std::string today() {
    std::time_t now = std::time(nullptr);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", std::localtime(&now));
    return text;
}

std::string file_in(const std::string& dir, const std::string& name) {
    return dir.empty() ? name : dir + "/" + name;
}

bool ask_yes_no(Gtk::Window& parent, const std::string& question) {
    Gtk::MessageDialog box(parent, to_utf8(question), false, Gtk::MESSAGE_QUESTION,
                           Gtk::BUTTONS_YES_NO, true);
    box.set_title(msg(msg_error));
    box.get_accessible()->set_name(box.get_title());
    return box.run() == Gtk::RESPONSE_YES;
}

}  // namespace

uint64_t angle_to_turns(const std::string& name, double degrees) {
    return quarter_turns(name, int(long(degrees)), std::cerr);
}

libgr::direction2ul_t clip_thumbnail_size(libgr::direction2ul_t size) {
    while (size.x > 0 && size.y > 0 &&
           (size.x > g_global.shrink_width || size.y > g_global.shrink_height)) {
        size.x >>= 1;
        size.y >>= 1;
    }
    return libgr::direction2ul_t(size.x >> 2, size.y >> 2);
}

MakeAlbumDialog::MakeAlbumDialog(Gtk::Window& parent, const std::string& from,
                                 const std::string& book_dir_, const std::string& program_name_)
    : Gtk::Dialog(msg(msg_new_album), parent, true),
      book_dir(book_dir_),
      program_name(program_name_) {
    Gtk::Box& box = *get_content_area();
    from_label.set_text(msg(msg_import_from));
    from_label.set_width_chars(20);
    from_entry.set_width_chars(50);
    from_entry.set_text(to_utf8(from));
    browse_button.set_label(msg(msg_browse));
    from_row.pack_start(from_label, Gtk::PACK_SHRINK);
    from_row.pack_start(from_entry);
    from_row.pack_start(browse_button, Gtk::PACK_SHRINK);
    box.pack_start(from_row, Gtk::PACK_SHRINK);

    to_label.set_text(msg(msg_album));
    to_label.set_width_chars(20);
    to_entry.set_width_chars(50);
    to_entry.set_text(today());
    to_row.pack_start(to_label, Gtk::PACK_SHRINK);
    to_row.pack_start(to_entry);
    box.pack_start(to_row, Gtk::PACK_SHRINK);

    secret_label.set_text(msg(msg_secret));
    secret_check.set_active(is_secret(book_dir));  // the book's own flag by default
    secret_row.pack_start(secret_label, Gtk::PACK_SHRINK);
    secret_row.pack_start(secret_check, Gtk::PACK_SHRINK);
    box.pack_start(secret_row, Gtk::PACK_SHRINK);

    caption.set_text(msg(msg_choose_files));
    box.pack_start(caption, Gtk::PACK_SHRINK);
    scrolled.add(table);
    scrolled.set_redraw_on_allocate(true);
    box.pack_start(scrolled);
    invert_button.set_label(msg(msg_invert));
    update_button.set_label(msg(msg_reload));
    grid_buttons.pack_start(invert_button, Gtk::PACK_SHRINK);
    grid_buttons.pack_start(update_button, Gtk::PACK_SHRINK);
    box.pack_start(grid_buttons, Gtk::PACK_SHRINK);

    title_label.set_text(msg(msg_title));
    begin_label.set_text(msg(msg_head_text));
    last_label.set_text(msg(msg_last_text));
    begin_text.set_size_request(300, 60);
    last_text.set_size_request(300, 60);
    box.pack_start(title_label, Gtk::PACK_SHRINK);
    box.pack_start(title_entry, Gtk::PACK_SHRINK);
    box.pack_start(begin_label, Gtk::PACK_SHRINK);
    box.pack_start(begin_text, Gtk::PACK_SHRINK);
    box.pack_start(last_label, Gtk::PACK_SHRINK);
    box.pack_start(last_text, Gtk::PACK_SHRINK);

    // The fields are named after their labels, for screen readers.
    from_entry.get_accessible()->set_name(msg(msg_import_from));
    to_entry.get_accessible()->set_name(msg(msg_album));
    secret_check.get_accessible()->set_name(msg(msg_secret));
    title_entry.get_accessible()->set_name(msg(msg_title));
    begin_text.get_accessible()->set_name(msg(msg_head_text));
    last_text.get_accessible()->set_name(msg(msg_last_text));
    // Leaving the field rescans only a folder that changed: a rescan drops
    // every pick and turn made in the grid.
    from_entry.signal_focus_out_event().connect([this](GdkEventFocus*) {
        if (get_from() != scanned_from) leave_from();
        return false;
    });
    to_entry.signal_focus_out_event().connect([this](GdkEventFocus*) {
        leave_to();
        return false;
    });
    browse_button.signal_clicked().connect(sigc::mem_fun(*this, &MakeAlbumDialog::button_from));
    invert_button.signal_clicked().connect(
        sigc::mem_fun(*this, &MakeAlbumDialog::button_invert));
    update_button.signal_clicked().connect(
        sigc::mem_fun(*this, &MakeAlbumDialog::button_update));
    follow_table_size(scrolled, table, max_grid_height, false);
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    show_all_children();
}

std::string MakeAlbumDialog::get_from() const {
    return from_utf8(from_entry.get_text());
}

path_t MakeAlbumDialog::get_to() const {
    return path_t("", book_dir, from_utf8(to_entry.get_text()));
}

std::string MakeAlbumDialog::get_title_text() const {
    return from_utf8(title_entry.get_text());
}

std::string MakeAlbumDialog::begin_comment() const {
    return text_of(begin_text);
}

std::string MakeAlbumDialog::last_comment() const {
    return text_of(last_text);
}

std::vector<files_t> MakeAlbumDialog::selected_files() const {
    std::vector<files_t> files;
    for (const auto& item : items)
        if (item->select_button.get_active())
            files.push_back(
                files_t{item->name, angle_to_turns(item->name, item->angle_spin.get_value())});
    return files;
}

bool MakeAlbumDialog::leave_from() {
    items.clear();  // their widgets leave the grid with them
    const std::string from = get_from();
    scanned_from = from;
    std::vector<std::string> files;
    if (!libutils::getfiles(files, from)) return false;

    const uint64_t h = std::max<uint64_t>(1, g_global.horizontal_items);
    temp_t temp;  // stills of the clips, removed when the scan ends
    bool made_temp = false;
    const Glib::ustring rotate_label = msg(msg_rotate);
    for (size_t i = 0; i < files.size(); ++i) {
        items.push_back(std::make_unique<item_t>());
        item_t& item = *items.back();
        item.name = files[i];
        const std::string path = file_in(from, item.name);
        const Glib::ustring shown_name = to_utf8(item.name);
        item.name_label.set_text(shown_name);
        item.is_rotate_check.set_label(rotate_label);
        item.is_rotate_check.set_sensitive(false);
        item.angle_spin.set_adjustment(Gtk::Adjustment::create(0, 0, 270, 90, 90, 0));
        item.angle_spin.set_digits(0);
        item.angle_spin.set_wrap(false);
        item.angle_spin.set_update_policy(Gtk::UPDATE_IF_VALID);
        item.angle_spin.set_sensitive(false);
        // Screen readers and automation tell the cells apart by their names.
        item.select_button.get_accessible()->set_name(shown_name);
        item.is_rotate_check.get_accessible()->set_name(shown_name + " " + rotate_label);
        item.angle_spin.get_accessible()->set_name(shown_name + " " + rotate_label + " angle");

        bool cell = true;
        if (is_photo(item.name)) {
            if (load_thumbnail(item.thumbnail, path)) {
                item.image.set(convert_to_pixbuf(item.thumbnail));
                item.rotatable = true;
            }
        } else if (is_movie(item.name)) {
            if (!temp.init(program_name)) return false;
            made_temp = true;
            libgr::direction2ul_t size;
            std::string info;
            ffidentify(path, size, info);
            const std::string still = temp.path.dir + "/" + replace_extension(item.name, ".jpg");
            libgr::image2d_t picture;
            if (!ffsavethumbnail(path, still, clip_thumbnail_size(size))) {
                libutils::report(std::cerr, path, ": ffsavethumbnail failed.");
                cell = false;
            } else if (!load_jpeg(picture, still)) {
                libutils::report(std::cerr, still, ": load movie jpeg failed.");
                cell = false;
            } else {
                item.image.set(convert_to_pixbuf(picture));
            }
        }
        item.select_button.add(item.image);
        item.rotate_box.pack_start(item.is_rotate_check, Gtk::PACK_SHRINK);
        item.rotate_box.pack_start(item.angle_spin, Gtk::PACK_SHRINK);
        item.select_button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &MakeAlbumDialog::button_image), i));
        item.is_rotate_check.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &MakeAlbumDialog::button_is_rotate), i));
        item.angle_spin.signal_value_changed().connect(
            sigc::bind(sigc::mem_fun(*this, &MakeAlbumDialog::button_rotate), i));
        if (!cell) continue;
        item.in_grid = true;
        const int column = int(i % h), row = int(3 * (i / h));
        auto put = [&](Gtk::Widget& w, int r) {
            w.set_hexpand(true);
            w.set_vexpand(true);
            table.attach(w, column, r, 1, 1);
        };
        put(item.select_button, row);
        put(item.name_label, row + 1);
        if (item.rotatable) put(item.rotate_box, row + 2);
    }

    // The camera folder's own texts, when it has them, fill the fields.
    std::string title, head, last;
    loadcomment(from, title, head, last);
    if (!title.empty()) title_entry.set_text(to_utf8(title));
    if (!head.empty()) begin_text.get_buffer()->set_text(to_utf8(head));
    if (!last.empty()) last_text.get_buffer()->set_text(to_utf8(last));

    show_all_children();
    temp.destroy();
    if (made_temp) bring_to_front(*this);
    return true;
}

bool MakeAlbumDialog::leave_to() {
    const path_t to = get_to();
    if (to.name.empty()) return false;
    std::string title, head, last;
    loadcomment(to.str("txt"), title, head, last);
    if (!title.empty()) title_entry.set_text(to_utf8(title));
    if (!head.empty()) begin_text.get_buffer()->set_text(to_utf8(head));
    if (!last.empty()) last_text.get_buffer()->set_text(to_utf8(last));
    secret_check.set_active(is_secret(to.str()));
    show_all_children();
    return true;
}

void MakeAlbumDialog::button_from() {
    {
        Gtk::FileChooserDialog chooser(*this, msg(msg_camera_folder),
                                       Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
        chooser.set_current_folder(from_entry.get_text());
        chooser.add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
        chooser.add_button(stock_label("_Open"), Gtk::RESPONSE_OK);
        if (chooser.run() == Gtk::RESPONSE_OK) {
            chooser.hide();
            from_entry.set_text(chooser.get_filename());
            leave_from();
        }
    }
    bring_to_front(*this);
}

void MakeAlbumDialog::button_invert() {
    for (auto& item : items) item->select_button.set_active(!item->select_button.get_active());
}

void MakeAlbumDialog::button_update() {
    leave_from();
    leave_to();
}

void MakeAlbumDialog::button_image(size_t index) {
    if (index >= items.size()) return;
    item_t& item = *items[index];
    item.is_rotate_check.set_sensitive(item.select_button.get_active());
    item.angle_spin.set_value(0);
}

void MakeAlbumDialog::button_is_rotate(size_t index) {
    if (index >= items.size()) return;
    item_t& item = *items[index];
    item.angle_spin.set_sensitive(item.is_rotate_check.get_active());
}

void MakeAlbumDialog::button_rotate(size_t index) {
    if (index >= items.size()) return;
    item_t& item = *items[index];
    if (!item.rotatable) return;
    const uint64_t turns = angle_to_turns(item.name, item.angle_spin.get_value());
    libgr::image2d_t turned;
    if (!libgr::rotate((int)turns, turned, item.thumbnail)) {
        libutils::report(std::cerr, item.name, ": rotate() fail.");
        return;
    }
    item.image.set(convert_to_pixbuf(turned));
}


bool make_album_from_dialog(Gtk::Dialog& book_dialog, const std::string& book_dir,
                            const std::string& program_name) {
    MakeAlbumDialog dialog(book_dialog, g_global.from, book_dir, program_name);
    ProgWin progwin(dialog);
    std::string from, title;
    path_t to;
    std::vector<files_t> files;
    for (;;) {
        if (dialog.run() != Gtk::RESPONSE_OK) return false;
        from = dialog.get_from();
        to = dialog.get_to();
        title = dialog.get_title_text();
        files = dialog.selected_files();
        if (files.empty()) {
            show_error_box(dialog, getmsg(msg_no_file_selected));
        } else if (from.empty()) {
            show_error_box(dialog, getmsg(msg_no_source));
        } else if (to.name.empty()) {
            show_error_box(dialog, getmsg(msg_no_album_name));
        } else if (!valid_entry_name(to.name)) {
            // The album goes inside the book, never beside or above it.
            show_error_box(dialog, to.str() + ": not a name inside this book.");
        } else if (is_exist(to.str()) && !ask_yes_no(dialog, getmsg(msg_album_exists))) {
            continue;
        } else if (title.empty()) {
            show_error_box(dialog, getmsg(msg_no_title));
        } else {
            break;
        }
    }

    const std::string album = to.str();
    std::ostringstream err;
    const size_t slash = to.name.rfind('/');
    if (slash != std::string::npos && !make_books(book_dir, to.name.substr(0, slash), err)) {
        show_error_box(dialog, getmsg(msg_save_failed) + ("\n" + err.str()));
        return false;
    }
    ::mkdir(album.c_str(), 0755);
    if (!savecommenttxt(to, title, dialog.begin_comment(), dialog.last_comment(), err)) {
        show_error_box(dialog, getmsg(msg_save_failed) + ("\n" + err.str()));
        return false;
    }
    set_secret(album, dialog.get_secret(), std::cerr);

    progwin.show();
    progwin.setProgress1(0);
    if (!makealbumwithrotate(from, files, to, progwin.signals, err)) {
        progwin.hide();
        show_error_box(dialog, getmsg(msg_build_failed) + ("\n" + err.str()));
        return false;
    }
    book_dialog.hide();
    // The pages of the books the album went into, innermost first.
    bool pages = true;
    for (std::string book = album.substr(0, album.rfind('/')); pages && book.size() > book_dir.size();
         book.erase(book.rfind('/')))
        pages = makehtmlbook(path_t("", book, ""), err);
    pages = pages && makehtmlbook(path_t("", book_dir, ""), err);
    progwin.hide();
    if (!pages) {
        show_error_box(dialog, getmsg(msg_build_failed) + ("\n" + err.str()));
        libutils::report(std::cerr, "makehtmlbook() fail.");
    }
    return pages;
}

}  // namespace snapfolio

#include "snapfolio/gui/GlobalOptionDialog.h"

#include <gtkmm/filechooserdialog.h>

#include <algorithm>
#include <sstream>

#include "libutils/path.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/message.h"
#include "snapfolio/gui/errorbox.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

namespace {

// A whole-number spin button: range, step and page, no decimals.
void set_spin(Gtk::SpinButton& spin, double lower, double upper, double step, double page,
              int width_chars) {
    spin.set_adjustment(Gtk::Adjustment::create(lower, lower, upper, step, page, 0));
    spin.set_digits(0);
    spin.set_numeric(true);
    spin.set_width_chars(width_chars);
}

void set_label(Gtk::Label& label, e_message_local_t number, int width_chars = -1) {
    label.set_text(msg(number));
    if (width_chars > 0) label.set_width_chars(width_chars);
}

void set_entry(Gtk::Entry& entry, int width_chars = -1) {
    if (width_chars > 0) entry.set_width_chars(width_chars);
    entry.set_activates_default(true);  // Return in any entry means OK
}

uint64_t spin_value(const Gtk::SpinButton& spin) {
    double v = spin.get_value();
    return v > 0 ? (uint64_t)v : 0;  // truncated toward zero
}

}  // namespace

GlobalOptionDialog::fields_t::fields_t() {
    set_spin(shrink_width, 0, 32768, 128, 1, 50);
    set_spin(shrink_height, 0, 32768, 128, 1, 50);
    set_spin(jpeg_compress, 0, 100, 1, 10, 3);
    set_spin(horizontal_items, 1, 100, 1, 10, 2);
    set_spin(show_level, 0, 100, 1, 10, 2);
    set_spin(view_size, 0, 100, 1, 10, 2);
    set_spin(play_size_x, 1, 9999, 1, 10, 4);
    set_spin(play_size_y, 1, 9999, 1, 10, 4);
    set_entry(from, 100);
    set_entry(album, 100);
    set_entry(html_header, 100);
    set_entry(html_address, 100);
    set_entry(hwaccel);
    set_entry(ffmpeg, 20);
    set_entry(movie, 50);
    set_entry(glimvue3);
    html_header_check.set_label(msg(msg_html_header_check));
    movie_thumbnail_retina.set_label(msg(msg_movie_retina));
}

GlobalOptionDialog::GlobalOptionDialog(Gtk::Window& parent, const std::string& program_dir_,
                                       const std::string& program_name_)
    : Gtk::Dialog(msg(msg_settings), parent, true),
      program_dir(program_dir_),
      program_name(program_name_) {
    fields_t& f = m_fields;
    for (Gtk::Box& row : rows) {
        row.set_orientation(Gtk::ORIENTATION_HORIZONTAL);
        row_box.pack_start(row, Gtk::PACK_SHRINK);
    }
    scroller.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroller.set_propagate_natural_width(true);
    scroller.set_propagate_natural_height(true);
    Gdk::Rectangle screen;
    parent.get_screen()->get_monitor_geometry(0, screen);
    scroller.set_max_content_width(std::max(320, screen.get_width() - 64));
    scroller.set_max_content_height(std::max(240, screen.get_height() - 160));
    scroller.add(row_box);
    get_content_area()->pack_start(scroller);
    set_label(from_label, msg_camera_folder, 20);
    set_label(album_label, msg_album_folder, 20);
    set_label(shrink_label, msg_shrink_size, 20);
    set_label(jpeg_label, msg_jpeg_quality, 20);
    set_label(items_label, msg_horizontal_items, 20);
    set_label(show_label, msg_show_level, 20);
    set_label(view_label, msg_view_size, 20);
    set_label(header_label, msg_html_header, 20);
    set_label(address_label, msg_html_address, 20);
    set_label(hwaccel_label, msg_hwaccel);
    set_label(ffmpeg_label, msg_ffmpeg);
    set_label(movie_label, msg_movie_player, 10);
    set_label(play_label, msg_play_size, 10);
    set_label(glimvue3_label, msg_glimvue3, 20);
    from_browse.set_label(msg(msg_browse));
    album_browse.set_label(msg(msg_browse));

    // An entry that ends its row takes the room left over.
    auto row = [this](int i, std::initializer_list<Gtk::Widget*> widgets) {
        for (Gtk::Widget* w : widgets) {
            bool grow = w == *(widgets.end() - 1) && dynamic_cast<Gtk::Entry*>(w);
            rows[i].pack_start(*w, grow ? Gtk::PACK_EXPAND_WIDGET : Gtk::PACK_SHRINK);
        }
    };
    row(0, {&from_label, &f.from, &from_browse});
    row(1, {&album_label, &f.album, &album_browse});
    row(2, {&shrink_label, &f.shrink_width, &f.shrink_height});
    row(3, {&jpeg_label, &f.jpeg_compress, &items_label, &f.horizontal_items, &show_label,
            &f.show_level, &view_label, &f.view_size});
    row(4, {&header_label, &f.html_header_check, &f.html_header});
    row(5, {&address_label, &f.html_address});
    row(6, {&hwaccel_label, &f.hwaccel, &ffmpeg_label, &f.ffmpeg, &movie_label, &f.movie,
            &play_label, &f.play_size_x, &f.play_size_y, &f.movie_thumbnail_retina});
    row(7, {&glimvue3_label, &f.glimvue3});

    from_browse.signal_clicked().connect(
        sigc::mem_fun(*this, &GlobalOptionDialog::button_from_dir));
    album_browse.signal_clicked().connect(
        sigc::mem_fun(*this, &GlobalOptionDialog::button_album_dir));
    f.html_header_check.signal_toggled().connect(
        sigc::mem_fun(*this, &GlobalOptionDialog::button_html_header));

    read_from_global();
    add_button(stock_label("_OK"), Gtk::RESPONSE_OK);
    add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    set_default_response(Gtk::RESPONSE_OK);
    show_all_children();
}

void GlobalOptionDialog::read_from_global() {
    const global_t& g = g_global;
    fields_t& f = m_fields;
    f.from.set_text(to_utf8(g.from));
    f.album.set_text(to_utf8(g.album));
    f.shrink_width.set_value((double)g.shrink_width);
    f.shrink_height.set_value((double)g.shrink_height);
    f.jpeg_compress.set_value((double)g.jpeg_compress);
    f.horizontal_items.set_value((double)g.horizontal_items);
    f.show_level.set_value((double)g.show_level);
    f.view_size.set_value((double)g.view_size);
    f.html_header_check.set_active(g.html_header_check);
    f.html_header.set_text(to_utf8(g.html_header));
    f.html_address.set_text(to_utf8(g.html_address));
    f.hwaccel.set_text(to_utf8(g.hwaccel));
    f.ffmpeg.set_text(to_utf8(g.ffmpeg));
    f.movie.set_text(to_utf8(g.movie));
    f.play_size_x.set_value((double)g.play_size_x);
    f.play_size_y.set_value((double)g.play_size_y);
    f.movie_thumbnail_retina.set_active(g.movie_thumbnail_retina);
    f.glimvue3.set_text(to_utf8(g.glimvue3));
    button_html_header();
}

void GlobalOptionDialog::write_to_global() {
    global_t& g = g_global;
    fields_t& f = m_fields;
    g.from = from_utf8(f.from.get_text());
    g.album = from_utf8(f.album.get_text());
    g.shrink_width = spin_value(f.shrink_width);
    g.shrink_height = spin_value(f.shrink_height);
    g.jpeg_compress = spin_value(f.jpeg_compress);
    g.horizontal_items = spin_value(f.horizontal_items);
    g.show_level = spin_value(f.show_level);
    g.view_size = spin_value(f.view_size);
    g.html_header_check = f.html_header_check.get_active();
    g.html_header = from_utf8(f.html_header.get_text());  // kept even when not written
    g.html_address = from_utf8(f.html_address.get_text());
    g.hwaccel = from_utf8(f.hwaccel.get_text());
    g.ffmpeg = from_utf8(f.ffmpeg.get_text());
    g.movie = from_utf8(f.movie.get_text());
    g.play_size_x = spin_value(f.play_size_x);
    g.play_size_y = spin_value(f.play_size_y);
    g.movie_thumbnail_retina = f.movie_thumbnail_retina.get_active();
    g.glimvue3 = from_utf8(f.glimvue3.get_text());
    libutils::mkdir(g.album);  // an existing directory is fine
}

void GlobalOptionDialog::choose_folder(Gtk::Entry& entry, const Glib::ustring& title) {
    Gtk::FileChooserDialog chooser(title, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
    chooser.set_current_folder(Glib::filename_from_utf8(entry.get_text()));
    chooser.add_button(stock_label("_Open"), Gtk::RESPONSE_OK);
    chooser.add_button(stock_label("_Cancel"), Gtk::RESPONSE_CANCEL);
    if (chooser.run() == Gtk::RESPONSE_OK)
        entry.set_text(Glib::filename_to_utf8(chooser.get_filename()));
}

void GlobalOptionDialog::button_from_dir() {
    choose_folder(m_fields.from, msg(msg_camera_folder));
}

void GlobalOptionDialog::button_album_dir() {
    choose_folder(m_fields.album, msg(msg_album_folder));
}

void GlobalOptionDialog::button_html_header() {
    bool on = m_fields.html_header_check.get_active();
    m_fields.html_header.set_editable(on);
    m_fields.html_header.set_can_focus(on);
}

void GlobalOptionDialog::on_response(int id) {
    Gtk::Dialog::on_response(id);
    if (id == Gtk::RESPONSE_CANCEL || id == Gtk::RESPONSE_DELETE_EVENT) {
        // An OK whose file could not be written has put the edits into the
        // settings already; Cancel takes them back.
        g_global = m_before;
        return;
    }
    if (id != Gtk::RESPONSE_OK) return;
    write_to_global();
    std::ostringstream err;
    m_saved = saveini(program_dir, program_name, err);
    if (m_saved) m_before = g_global;
    if (!m_saved) show_error_box(*this, std::string(getmsg(msg_save_failed)) + "\n" + err.str());
}

}  // namespace snapfolio

// The dialog in which every setting is edited. OK stores the widgets into
// the settings, creates the album directory and writes the settings file.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/spinbutton.h>

#include <string>

#include "snapfolio/engine/global.h"

namespace snapfolio {

class GlobalOptionDialog : public Gtk::Dialog {
  public:
    // One widget per setting, named after it.
    struct fields_t {
        Gtk::Entry from, album;
        Gtk::SpinButton shrink_width, shrink_height;
        Gtk::SpinButton jpeg_compress, horizontal_items, show_level, view_size;
        Gtk::CheckButton html_header_check;
        Gtk::Entry html_header, html_address;
        Gtk::Entry hwaccel, ffmpeg, movie;
        Gtk::SpinButton play_size_x, play_size_y;
        Gtk::CheckButton movie_thumbnail_retina;
        Gtk::Entry glimvue3;
        fields_t();
    };

    GlobalOptionDialog(Gtk::Window& parent, const std::string& program_dir,
                       const std::string& program_name);

    void read_from_global();  // settings -> widgets
    void write_to_global();   // widgets -> settings, then the album directory
    // Whether the last OK wrote the settings file.
    bool saved() const { return m_saved; }
    fields_t& fields() { return m_fields; }

    void button_from_dir();
    void button_album_dir();
    void button_html_header();

  protected:
    void on_response(int id) override;

  private:
    // A folder chooser titled `title` that starts in the entry's folder and
    // puts the chosen folder into it.
    void choose_folder(Gtk::Entry& entry, const Glib::ustring& title);

    std::string program_dir;
    std::string program_name;
    bool m_saved = false;
    global_t m_before = g_global;  // the settings as they were last saved or found
    fields_t m_fields;

    // The rows scroll when the screen is narrower than they are, so that the
    // OK and Cancel buttons below them always stay in view.
    Gtk::ScrolledWindow scroller;
    Gtk::Box row_box{Gtk::ORIENTATION_VERTICAL};
    Gtk::Box rows[8];
    Gtk::Label from_label, album_label, shrink_label, jpeg_label, items_label, show_label,
        view_label, header_label, address_label, hwaccel_label, ffmpeg_label, movie_label,
        play_label, glimvue3_label;
    Gtk::Button from_browse, album_browse;
};

}  // namespace snapfolio

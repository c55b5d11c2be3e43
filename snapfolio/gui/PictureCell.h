// One picture of the album dialogs (edit album, view album, the two best-of
// collections): its thumbnail button, name, comment, quality (good, subtle,
// fail, with an optional quarter turn), the five marks and its shooting data
// in words. The dialogs decide which parts they show and connect.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/textview.h>

#include <string>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/message.h"
#include "snapfolio/gui/CairoButton.h"

namespace snapfolio {

// The five marks, in the order the cells show them.
enum e_mark_t { mark_best, mark_apply, mark_submit, mark_print, mark_upload, mark_count };

// The album list that holds a mark, and the mark's label.
struct mark_desc_t {
    best_t album_t::*list;
    e_message_local_t label;
};
extern const mark_desc_t mark_descs[mark_count];

struct PictureCell {
    path_t album;      // the album the picture belongs to
    std::string name;  // its file name in the album's "original/"
    bool is_movie = false;
    bool rotatable = false;  // a photo whose thumbnail loaded
    bool loaded = false;     // the thumbnail was loaded (lazily, when first drawn)
    std::string comment;     // as loaded (locale encoding)
    std::string info;        // shooting data or clip information

    CairoButton picture;
    Gtk::Label name_label;
    Gtk::TextView comment_view;
    Gtk::Box quality_box{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::RadioButton good_radio, subtle_radio, fail_radio;
    Gtk::CheckButton is_rotate_check;
    Gtk::SpinButton angle_spin;
    Gtk::Box marks_box{Gtk::ORIENTATION_HORIZONTAL};
    Gtk::CheckButton mark_checks[mark_count];
    Gtk::Label info_label;

    // Builds the cell for album/original/name: name label (`shown_name`),
    // comment, the shooting data or clip information, marks from `marks`;
    // the quality radios and turn controls only when `quality`. The
    // thumbnail is loaded when the button is first drawn.
    PictureCell(const path_t& album, const std::string& name, const std::string& shown_name,
                const album_t& marks, bool quality);

    // Sets the quality radios from the good and fail lists; a picture in
    // both shows as good.
    void show_quality(const best_t& good, const best_t& fail);

    // The comment as typed, in the locale's encoding.
    std::string comment_text();
    // The turn field in degrees.
    int angle() const { return angle_spin.get_value_as_int(); }

    // Loads the thumbnail at the screen's density; `turns` more quarter
    // turns when asked. False (a line on standard error) when it fails.
    bool load_picture(uint64_t turns = 0);

    // Puts the cell's rows into grid column `column` from table row `row`.
    void attach(Gtk::Grid& grid, int column, int row, bool quality_row);

    // Shows the cell's widgets (a cell made after its dialog was shown).
    void show();

    // Marks, comment and (with quality) radios and turn: read-only or not.
    void set_editable(bool editable);
};

}  // namespace snapfolio

#include "snapfolio/gui/PictureCell.h"

#include <initializer_list>
#include <iostream>
#include <sstream>

#include "libgr/image/rotate.h"
#include "libutils/error.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/loaders.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

const mark_desc_t mark_descs[mark_count] = {
    {&album_t::best, msg_best},   {&album_t::apply, msg_apply},   {&album_t::submit, msg_submit},
    {&album_t::print, msg_print}, {&album_t::upload, msg_upload},
};

namespace {

// An empty picture button keeps a clickable size.
const int empty_button_size = 32;

// "<file name> <label>": how screen readers and desktop automation tell the
// controls of one cell from those of the next.
void name_for_access(Gtk::Widget& widget, const std::string& name, const Glib::ustring& label) {
    widget.get_accessible()->set_name(to_utf8(name) + (label.empty() ? "" : " " + label));
}

}  // namespace

PictureCell::PictureCell(const path_t& album_, const std::string& name_,
                         const std::string& shown_name, const album_t& marks, bool quality)
    : album(album_), name(name_), is_movie(snapfolio::is_movie(name_)) {
    const bool photo = is_photo(name);
    name_label.set_text(to_utf8(shown_name));
    name_label.set_selectable(true);

    loadphotocomment(comment, album, name);
    comment_view.get_buffer()->set_text(to_utf8(comment));
    comment_view.set_wrap_mode(Gtk::WRAP_WORD_CHAR);

    if (photo) {
        // The thumbnail comes when the cell is first drawn; the shooting
        // data are cheap enough to read now.
        std::ostringstream exif;
        writeexif(exif, album, "original", name, false);
        info = exif.str();
        rotatable = true;
    }
    if (photo || is_movie) {
        picture.signal_draw().connect(
            [this](const Cairo::RefPtr<Cairo::Context>&) {
                if (!loaded) load_picture();
                return false;
            },
            false);
    }
    picture.set_size_request(empty_button_size, empty_button_size);
    info_label.set_text(to_utf8(info));
    info_label.set_selectable(true);

    if (quality) {
        Gtk::RadioButton::Group group = good_radio.get_group();
        subtle_radio.set_group(group);
        fail_radio.set_group(group);
        good_radio.set_label(msg(msg_good));
        subtle_radio.set_label(msg(msg_subtle));
        fail_radio.set_label(msg(msg_fail));
        quality_box.pack_start(good_radio, Gtk::PACK_SHRINK);
        quality_box.pack_start(subtle_radio, Gtk::PACK_SHRINK);
        quality_box.pack_start(fail_radio, Gtk::PACK_SHRINK);
        if (photo) {
            is_rotate_check.set_label(msg(msg_rotate));
            angle_spin.set_range(0, 270);
            angle_spin.set_increments(90, 90);
            angle_spin.set_value(0);
            angle_spin.set_sensitive(false);
            quality_box.pack_start(is_rotate_check, Gtk::PACK_SHRINK);
            quality_box.pack_start(angle_spin, Gtk::PACK_SHRINK);
        }
    }
    for (int m = 0; m < mark_count; ++m) {
        mark_checks[m].set_label(msg(mark_descs[m].label));
        mark_checks[m].set_active((marks.*mark_descs[m].list).find(name));
        marks_box.pack_start(mark_checks[m], Gtk::PACK_SHRINK);
    }

    name_for_access(picture, name, "");
    name_for_access(comment_view, name, msg(msg_comment));
    name_for_access(good_radio, name, good_radio.get_label());
    name_for_access(subtle_radio, name, subtle_radio.get_label());
    name_for_access(fail_radio, name, fail_radio.get_label());
    name_for_access(is_rotate_check, name, is_rotate_check.get_label());
    name_for_access(angle_spin, name, msg(msg_rotate) + " angle");
    for (Gtk::CheckButton& check : mark_checks) name_for_access(check, name, check.get_label());
}

std::string PictureCell::comment_text() {
    return from_utf8(comment_view.get_buffer()->get_text());
}

bool PictureCell::load_picture(uint64_t turns) {
    loaded = true;
    const int scale = picture.get_scale_factor();
    libgr::image2d_t image;
    if (is_movie) {
        std::string clip;
        if (!load_scaled_ffthumbnail(image, album, name, scale, clip)) return false;
        info = clip;
        info_label.set_text(to_utf8(info));
    } else if (!load_scaled_thumbnail(image, album, name, scale)) {
        libutils::report(std::cerr, name, ": load_scaled_thumbnail() fail.");
        // Without a picture there is nothing to turn.
        rotatable = false;
        is_rotate_check.hide();
        angle_spin.hide();
        return false;
    }
    if (turns != 0) {
        libgr::image2d_t turned;
        if (!libgr::rotate(int(turns), turned, image))
            return libutils::fail(std::cerr, name, ": rotate() fail.");
        image = turned;
    }
    picture.set(image);
    return true;
}

void PictureCell::attach(Gtk::Grid& grid, int column, int row, bool quality_row) {
    auto put = [&](Gtk::Widget& w, bool vexpand) {
        w.set_hexpand(true);
        w.set_vexpand(vexpand);
        grid.attach(w, column, row++, 1, 1);
    };
    put(picture, true);
    put(name_label, true);
    put(comment_view, false);  // fills across only
    if (quality_row) put(quality_box, true);
    put(marks_box, true);
    put(info_label, true);
}

void PictureCell::show() {
    for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{
             &picture, &name_label, &comment_view, &quality_box, &marks_box, &info_label})
        w->show_all();
}

void PictureCell::show_quality(const best_t& good, const best_t& fail) {
    if (good.find(name))
        good_radio.set_active(true);
    else if (fail.find(name))
        fail_radio.set_active(true);
    else
        subtle_radio.set_active(true);
}

void PictureCell::set_editable(bool editable) {
    comment_view.set_editable(editable);
    comment_view.set_cursor_visible(editable);
    for (Gtk::CheckButton& check : mark_checks) {
        check.set_sensitive(editable);
        check.set_can_focus(editable);
        check.set_focus_on_click(editable);
    }
    for (Gtk::RadioButton* radio : {&good_radio, &subtle_radio, &fail_radio})
        radio->set_sensitive(editable);
}

}  // namespace snapfolio

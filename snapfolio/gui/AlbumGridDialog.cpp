#include "snapfolio/gui/AlbumGridDialog.h"

#include <algorithm>
#include <chrono>

#include "libgr/image/vecmath.h"
#include "snapfolio/engine/albumentry.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/external.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/loaders.h"
#include "snapfolio/engine/movie.h"
#include "snapfolio/gui/textconv.h"
#include "snapfolio/gui/scrollfit.h"

namespace snapfolio {

namespace {

// The grid keeps growing with its content up to this height, then scrolls.
const int max_grid_height = 640;
// Rows of cells made before the dialog is first shown: more than fill the
// grid's height, since a cell is well over 100 pixels high. Also the rows of
// one chunk of the grid.
const size_t rows_at_once = 6;
// How long one idle turn makes cells before the window gets its events.
const double fill_slice_ms = 40;

double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

AlbumGridDialog::AlbumGridDialog(Gtk::Window& parent, e_message_local_t title,
                                 const std::string& program_dir_, e_message_local_t header,
                                 const std::string& dir, bool title_as_label, bool cap_width_)
    : Gtk::Dialog(msg(title), parent, true), program_dir(program_dir_), cap_width(cap_width_) {
    Gtk::Box& box = *get_content_area();
    header_label.set_text(msg(header));
    dir_label.set_text(to_utf8(dir));
    dir_label.set_selectable(true);
    header_row.pack_start(header_label, Gtk::PACK_SHRINK);
    header_row.pack_start(dir_label, Gtk::PACK_SHRINK);
    box.pack_start(header_row, Gtk::PACK_SHRINK);

    secret_label.set_text(msg(msg_secret));
    secret_check.get_accessible()->set_name(msg(msg_secret));
    secret_row.pack_start(secret_label, Gtk::PACK_SHRINK);
    secret_row.pack_start(secret_check, Gtk::PACK_SHRINK);
    box.pack_start(secret_row, Gtk::PACK_SHRINK);

    scrolled.add(table);
    box.pack_start(scrolled, Gtk::PACK_EXPAND_WIDGET);
    follow_table_size(scrolled, table, max_grid_height, cap_width);

    title_caption.set_text(msg(msg_title));
    begin_caption.set_text(msg(msg_head_text));
    last_caption.set_text(msg(msg_last_text));
    title_entry.get_accessible()->set_name(msg(msg_title));
    begin_text.get_accessible()->set_name(msg(msg_head_text));
    last_text.get_accessible()->set_name(msg(msg_last_text));
    begin_text.set_size_request(300, 60);
    last_text.set_size_request(300, 60);
    box.pack_start(title_caption, Gtk::PACK_SHRINK);
    if (title_as_label)
        box.pack_start(title_label, Gtk::PACK_SHRINK);
    else
        box.pack_start(title_entry, Gtk::PACK_SHRINK);
    box.pack_start(begin_caption, Gtk::PACK_SHRINK);
    box.pack_start(begin_text, Gtk::PACK_SHRINK);
    box.pack_start(last_caption, Gtk::PACK_SHRINK);
    box.pack_start(last_text, Gtk::PACK_SHRINK);
}

AlbumGridDialog::~AlbumGridDialog() {
    filler.disconnect();
}

void AlbumGridDialog::clear_rows() {
    filler.disconnect();
    planned.clear();
    next_planned = 0;
    items.clear();  // each cell's widgets leave the grid with it
    spacers.clear();
    chunks.clear();
    packed_chunks = 0;
}

void AlbumGridDialog::plan_rows(std::vector<std::function<void()>> makers) {
    filler.disconnect();
    planned = std::move(makers);
    next_planned = 0;
    const size_t h = std::max<uint64_t>(1, g_global.horizontal_items);
    while (filling() && next_planned < rows_at_once * h) planned[next_planned++]();
    pack_chunks();
    if (filling())
        filler = Glib::signal_idle().connect(sigc::mem_fun(*this, &AlbumGridDialog::fill_some));
}

bool AlbumGridDialog::fill_some() {
    const double start = now_ms();
    const size_t first = items.size();
    do planned[next_planned++]();
    while (filling() && now_ms() - start < fill_slice_ms);
    // Only the new cells: show_all would bring back controls hidden since.
    for (size_t i = first; i < items.size(); ++i) items[i]->show();
    pack_chunks();
    if (filling()) return true;
    planned.clear();
    next_planned = 0;
    return false;
}

void AlbumGridDialog::finish_rows() {
    if (!filling()) return;
    filler.disconnect();
    const size_t first = items.size();
    while (filling()) planned[next_planned++]();
    for (size_t i = first; i < items.size(); ++i) items[i]->show();
    planned.clear();
    next_planned = 0;
    pack_chunks();
}

void AlbumGridDialog::pack_chunks() {
    // A chunk is laid out once, when its last cell is made, rather than at
    // every cell added to it.
    const size_t per_chunk = std::max<uint64_t>(1, g_global.horizontal_items) * rows_at_once;
    const size_t complete = filling() ? items.size() / per_chunk : chunks.size();
    for (; packed_chunks < complete; ++packed_chunks)
        table.pack_start(*chunks[packed_chunks], Gtk::PACK_SHRINK);
}

void AlbumGridDialog::on_response(int id) {
    if (id == Gtk::RESPONSE_OK || id == Gtk::RESPONSE_APPLY)
        finish_rows();
    else
        filler.disconnect();
    Gtk::Dialog::on_response(id);
}

PictureCell& AlbumGridDialog::add_cell(std::unique_ptr<PictureCell> cell, size_t index,
                                       bool quality_row) {
    const size_t h = std::max<uint64_t>(1, g_global.horizontal_items);
    const size_t per_chunk = h * rows_at_once;
    const int rows_per = quality_row ? 6 : 5;
    while (chunks.size() <= index / per_chunk) {
        chunks.push_back(std::make_unique<Gtk::Grid>());
        Gtk::Grid& grid = *chunks.back();
        grid.set_column_spacing(6);
        grid.set_column_homogeneous(true);
        // The last chunk may hold less than a row: an empty line across
        // every column keeps its columns as wide as the first chunk's.
        if (chunks.size() > 1) {
            spacers.push_back(std::make_unique<Gtk::Box>());
            grid.attach(*spacers.back(), 0, int(rows_at_once) * rows_per, int(h), 1);
        }
        grid.show_all();
    }
    const size_t place = index % per_chunk;
    cell->attach(*chunks[index / per_chunk], int(place % h), int(place / h) * rows_per,
                 quality_row);
    if (is_photo(cell->name))
        cell->picture.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &AlbumGridDialog::button_image), index));
    else if (cell->is_movie)
        cell->picture.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &AlbumGridDialog::button_movie), index));
    items.push_back(std::move(cell));
    return *items.back();
}

void AlbumGridDialog::show_texts(const path_t& path) {
    // A collection shown before its pages were ever made has no texts yet.
    if (!is_exist(path.str("txt"))) return;
    std::string title, begin, last;
    loadcommenttxt(path, title, begin, last);
    if (!title.empty()) {
        title_entry.set_text(to_utf8(title));
        title_label.set_text(to_utf8(title));
    }
    if (!begin.empty()) begin_text.get_buffer()->set_text(to_utf8(begin));
    if (!last.empty()) last_text.get_buffer()->set_text(to_utf8(last));
}

void AlbumGridDialog::read_texts(std::string& title, std::string& begin, std::string& last) {
    title = from_utf8(title_entry.get_text());
    begin = from_utf8(begin_text.get_buffer()->get_text());
    last = from_utf8(last_text.get_buffer()->get_text());
}

void AlbumGridDialog::button_image(size_t i) {
    if (i >= items.size()) return;
    run_glimvue3(program_dir, items[i]->album.str("original", items[i]->name));
}

void AlbumGridDialog::button_movie(size_t i) {
    if (i >= items.size()) return;
    const PictureCell& cell = *items[i];
    libgr::direction2ul_t size;
    std::string info;
    uint64_t level = getffshrinklevel(cell.album, "original", cell.name, size, info);
    // The largest level that fits the play size; the smallest one when none
    // does.
    uint64_t halvings = std::min<uint64_t>(play_halvings(size.x, size.y), level + 1);
    run_movie(
        cell.album.str("movie" + std::to_string(halvings), replace_extension(cell.name, ".mp4")));
}


}  // namespace snapfolio

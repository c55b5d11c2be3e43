// Lists and grids that scroll only when they must: the scrolled window is
// kept as large as the table inside it, up to a height (and, when asked,
// the screen's width), so a short list takes no empty room and a long one
// scrolls.
#pragma once

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/widget.h>

namespace snapfolio {

void follow_table_size(Gtk::ScrolledWindow& scrolled, Gtk::Widget& table, int max_height,
                       bool cap_to_screen);

}  // namespace snapfolio

#include "snapfolio/gui/scrollfit.h"

#include <algorithm>

namespace snapfolio {

void follow_table_size(Gtk::ScrolledWindow& scrolled, Gtk::Widget& table, int max_height,
                       bool cap_to_screen) {
    auto fit = [&scrolled, max_height, cap_to_screen](Gtk::Allocation& rectangle) {
        if (rectangle.get_height() <= 0) return;
        int width = rectangle.get_width();
        if (cap_to_screen) width = std::min(width, scrolled.get_screen()->get_width());
        int height = std::min(rectangle.get_height(), max_height);
        int old_width, old_height;
        scrolled.get_size_request(old_width, old_height);
        if (width != old_width || height != old_height) scrolled.set_size_request(width, height);
    };
    // After the table's own handler, so the allocation is the final one.
    table.signal_size_allocate().connect(fit, true);
}

}  // namespace snapfolio

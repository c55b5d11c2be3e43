#include "snapfolio/gui/CairoButton.h"

#include <gdkmm/general.h>

#include <algorithm>

#include "snapfolio/gui/pixbuf.h"

namespace snapfolio {

void CairoButton::set(const libgr::image2d_t& picture) {
    image = picture;
    pixbuf = convert_to_pixbuf(image);
    scale = 1.0 / std::max(1, get_scale_factor());
    set_size_request(int(image.width * scale), int(image.height * scale));
    queue_draw();
}

bool CairoButton::on_draw(const Cairo::RefPtr<Cairo::Context>& context) {
    if (scale == 0 || !pixbuf) return true;
    const int factor = std::max(1, get_scale_factor());
    // Centred in device pixels, so that picture pixels meet screen pixels.
    const double x = factor * int((get_allocated_width() - image.width * scale) * 0.5);
    const double y = factor * int((get_allocated_height() - image.height * scale) * 0.5);
    context->scale(scale, scale);
    Gdk::Cairo::set_source_pixbuf(context, pixbuf, x, y);
    context->paint();
    return true;
}

}  // namespace snapfolio

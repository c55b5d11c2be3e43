// Pictures of the engine (image2d_t, stored bottom row first) as GDK
// pixbufs (top row first), for every thumbnail a window shows.
#pragma once

#include <gdkmm/pixbuf.h>

#include "libgr/image/image.h"

namespace snapfolio {

// An 8-bit RGB pixbuf that owns its pixels; grey and RGBA pictures are
// converted to RGB first. Null for a picture without pixels or of a layout
// that has no RGB form.
Glib::RefPtr<Gdk::Pixbuf> convert_to_pixbuf(const libgr::image2d_t& image);

}  // namespace snapfolio

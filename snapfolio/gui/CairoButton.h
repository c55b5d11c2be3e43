// A button that shows a picture at the screen's own pixel density: on a
// display with scale factor 2 a 160-pixel thumbnail takes 80 logical pixels
// and is drawn one picture pixel per device pixel. Only the centred picture
// is drawn, not the button's frame or label.
#pragma once

#include <gdkmm/pixbuf.h>
#include <gtkmm/button.h>

#include "libgr/image/image.h"

namespace snapfolio {

class CairoButton : public Gtk::Button {
  public:
    CairoButton() = default;

    // Shows image (a copy is kept) and asks for its size in logical pixels.
    void set(const libgr::image2d_t& image);

    // What set() stored, for tests: the picture and 1 / the scale factor (0
    // until set() is called).
    const Glib::RefPtr<Gdk::Pixbuf>& get_pixbuf() const { return pixbuf; }
    double get_scale() const { return scale; }

  protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& context) override;

  private:
    libgr::image2d_t image;
    double scale = 0;
    Glib::RefPtr<Gdk::Pixbuf> pixbuf;
};

}  // namespace snapfolio

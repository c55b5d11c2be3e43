#include "snapfolio/gui/present.h"

#include "snapfolio/engine/global.h"

namespace snapfolio {

void bring_to_front(Gtk::Window& window) {
    if (iconify_before_present()) window.iconify();
    window.present();
}

}  // namespace snapfolio

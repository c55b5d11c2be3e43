// Start-up shared by the benchmarks of the album program's windows.
#pragma once

#include <gtk/gtk.h>
#include <gtkmm.h>

#include <iostream>

#include "glimlib/message.h"
#include "libutils/path.h"

namespace benchutil {

// GTK and the message catalogue as snapfolio sets them up; false (with a
// line saying so) when there is no X display to measure on.
inline bool start_windows() {
    if (!gtk_init_check(nullptr, nullptr)) {
        std::cout << "no X display (run under xvfb-run -a): nothing measured" << std::endl;
        return false;
    }
    Gtk::Main::init_gtkmm_internals();
    glimlib::init_message(libutils::dirname(CLI_PROGRAM), "snapfolio");
    return true;
}

}  // namespace benchutil

// The album program: the menu window, from which every other window opens.
#include <gtkmm/main.h>
#include <unistd.h>

#include <cstdlib>

#include "snapfolio/gui/MenuWindow.h"

int main(int argc, char** argv) {
    Gtk::Main kit(argc, argv);  // takes GTK's own options out of argv

    // A locally built input-method cache wins over the system's.
    const char* immodules = "/usr/local/lib/gtk-3.0/3.0.0/immodules.cache";
    if (access(immodules, F_OK) == 0) setenv("GTK_IM_MODULE_FILE", immodules, 1);

    snapfolio::MenuWindow window(argc, argv);
    Gtk::Main::run(window);
    return 0;
}

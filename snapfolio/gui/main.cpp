// The album program: the menu window, from which every other window opens.
#include <gtkmm/main.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "snapfolio/gui/MenuWindow.h"

int main(int argc, char** argv) {
    // GTK's own options leave argv first; the usage is then answered before
    // any window system is needed, so that "-h" works over ssh and in
    // scripts. Without a display, Gtk::Main below reports it and ends.
    gtk_init_check(&argc, &argv);
    if ((argc > 1 && std::string(argv[1]) == "-h") || (argc != 1 && argc != 3)) {
        snapfolio::usage(argv[0]);
        return 0;
    }
    Gtk::Main kit(argc, argv);

    // A locally built input-method cache wins over the system's.
    const char* immodules = "/usr/local/lib/gtk-3.0/3.0.0/immodules.cache";
    if (access(immodules, F_OK) == 0) setenv("GTK_IM_MODULE_FILE", immodules, 1);

    snapfolio::MenuWindow window(argc, argv);
    Gtk::Main::run(window);
    return 0;
}

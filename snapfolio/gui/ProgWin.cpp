#include "snapfolio/gui/ProgWin.h"

#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <algorithm>
#include <cstdlib>

#include "snapfolio/gui/textconv.h"

namespace snapfolio {

namespace {

const char default_title[] = "progress window";

}  // namespace

ProgWin::ProgWin(Gtk::Window& parent) : Gtk::Dialog(to_utf8(default_title), parent, true) {
    set_size_request(600, 100);
    for (Gtk::ProgressBar& bar : bars) get_content_area()->pack_start(bar, Gtk::PACK_SHRINK);
    progress_signal_t* stages[bar_count] = {&signals.copy, &signals.shrink,     &signals.html,
                                            &signals.zoom, &signals.best_index, &signals.best_list};
    for (int k = 0; k < bar_count; ++k)
        stages[k]->connect(sigc::bind<0>(sigc::mem_fun(*this, &ProgWin::setProgress), k + 1));
    signals.directory.connect(sigc::mem_fun(*this, &ProgWin::show_directory));
    // A large photo takes longer than a user should wait for an answer.
    signals.tick.connect(sigc::mem_fun(*this, &ProgWin::Iteration));
    show_all_children();
}

void ProgWin::setProgress(int bar, double fraction) {
    if (bar < 1 || bar > bar_count) return;
    bars[bar - 1].set_fraction(std::max(0.0, std::min(fraction, 1.0)));
    bars[bar - 1].queue_draw();
    Iteration();
}

double ProgWin::get_fraction(int bar) const {
    return bar < 1 || bar > bar_count ? 0 : bars[bar - 1].get_fraction();
}

void ProgWin::Iteration() {
    while (Gtk::Main::events_pending()) {
        // Without a running main loop (a caller outside the program's
        // window) there is no loop that could have been asked to quit.
        if (Gtk::Main::iteration(false) && gtk_main_level() > 0) std::exit(0);
    }
}

void ProgWin::clear() {
    set_title(to_utf8(default_title));
    for (int k = 1; k <= bar_count; ++k) setProgress(k, 0);
}

void ProgWin::show_directory(const std::string& dir) {
    set_title(to_utf8(dir));
    Iteration();
}

}  // namespace snapfolio

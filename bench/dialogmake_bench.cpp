// Making an album of 20 camera-like 24-megapixel photos from the make-album
// dialog (OK pressed, progress window shown, every bar move processing the
// window's events) against snapfolio-cli make of the same photos in the same
// run; and the longest time the windows went without processing their
// events during the make (a timer that fires only then).
//
//   bench_dialogmake [--photos N] [--keep DIR]   (needs an X server)
#include <gtk/gtk.h>
#include <gtkmm.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "bench/benchutil.h"
#include "bench/windowbench.h"
#include "glimlib/message.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/MakeAlbumDialog.h"

namespace {

using namespace benchutil;

int count_photos(const std::string& dir) {
    std::vector<std::string> names;
    libutils::getfiles(names, dir);
    int n = 0;
    for (const std::string& name : names) n += libutils::extcasecmp(name, ".jpg") == 0;
    return n;
}

bool make_photos(const std::string& dir, int count) {
    if (count_photos(dir) == count) return true;
    std::string cmd = "rm -rf '" + dir + "' && " + SAMPLES_PROGRAM + " '" + dir +
                      "' --upright --count " + std::to_string(count) + " --size 6000x4000";
    std::cout << "writing " << count << " photos of 6000x4000 into " << dir << std::endl;
    return std::system(cmd.c_str()) == 0;
}

struct dialog_run_t {
    double make_ms = -1;
    double longest_gap_ms = 0;  // without processing window events
    int ticks = 0;
};

// Fills the dialog once it runs (every photo picked, a title), presses OK
// and times the make; a 50 ms timer measures how often events are seen.
dialog_run_t make_from_dialog(const std::string& camera, const std::string& book) {
    dialog_run_t run;
    Gtk::Window parent;
    Gtk::Dialog book_dialog("book", parent, true);
    double start = 0, last_tick = 0;
    bool making = false;
    sigc::connection ticker = Glib::signal_timeout().connect(
        [&] {
            const double t = now_ms();
            if (making) {
                run.longest_gap_ms = std::max(run.longest_gap_ms, t - last_tick);
                ++run.ticks;
            }
            last_tick = t;
            return true;
        },
        50);
    Glib::signal_idle().connect_once([&] {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
            auto* d = dynamic_cast<snapfolio::MakeAlbumDialog*>(w);
            if (!d || !d->get_visible()) continue;
            d->get_from_entry().set_text(camera);
            d->leave_from();
            d->get_to_entry().set_text("album");
            d->get_title_entry().set_text("album");
            d->button_invert();
            start = last_tick = now_ms();
            making = true;
            d->response(Gtk::RESPONSE_OK);
            return;
        }
        std::cerr << "the make-album dialog did not open" << std::endl;
    });
    const bool ok = snapfolio::make_album_from_dialog(book_dialog, book, "bench_dialogmake");
    making = false;
    ticker.disconnect();
    if (ok) run.make_ms = now_ms() - start;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const photo_args_t args = photo_args(argc, argv, 20);
    const int photos = args.photos;
    const std::string& keep = args.keep;
    if (!start_windows()) return 0;

    libutils::mkdir(keep);
    const std::string camera = keep + "/camera-24mp";
    if (!make_photos(camera, photos)) return 1;
    const std::string work = keep + "/dialogmake";
    std::system(("rm -rf '" + work + "'").c_str());
    libutils::mkdir(work);
    libutils::mkdir(work + "/cli");
    libutils::mkdir(work + "/dialog");
    libutils::mkdir(work + "/dialog/txt");  // a book has its texts
    // Both read the same (default) settings: no settings file in HOME.
    setenv("HOME", work.c_str(), 1);
    snapfolio::g_global = snapfolio::global_t();

    run_t quiet;
    quiet.quiet = true;
    const double cli_ms = run_tool({CLI_PROGRAM, "make", camera, work + "/cli/album"}, &quiet);
    const dialog_run_t dialog = make_from_dialog(camera, work + "/dialog");
    if (cli_ms < 0 || dialog.make_ms < 0) {
        std::cerr << "a make failed" << std::endl;
        return 1;
    }
    std::printf("album of %d photos, 6000x4000, made from the dialog and by snapfolio-cli\n",
                photos);
    std::printf("  snapfolio-cli make      %8.0f ms\n", cli_ms);
    std::printf("  dialog, progress window %8.0f ms   ratio %.2f (target <= 1.10)\n",
                dialog.make_ms, dialog.make_ms / cli_ms);
    std::printf("  events unprocessed for at most %.0f ms (target <= 500), %d timer ticks\n",
                dialog.longest_gap_ms, dialog.ticks);
    return 0;
}

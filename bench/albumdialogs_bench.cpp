// Opening the album dialogs on big albums until the window is drawn: the
// edit-album dialog of an album of 500 photos, and the best-book collection
// of a book of 20 such albums (25 best pictures each, 500 cells). The time
// is split into widget building, the EXIF descriptions written for the
// cells and the thumbnails loaded for the cells that were drawn; the last
// two are measured again alone over the same pictures, in the same run.
//
//   bench_albumdialogs [--photos N] [--keep DIR]   (needs an X server)
#include <gtk/gtk.h>
#include <gtkmm.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/benchutil.h"
#include "bench/windowbench.h"
#include "glimlib/message.h"
#include "libgr/image/image.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/loaders.h"
#include "snapfolio/gui/CollectionDialog.h"
#include "snapfolio/gui/EditAlbumDialog.h"

namespace {

using namespace benchutil;

// This process's processor time: the machine may be shared, wall time
// is not all ours.
double cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
using snapfolio::path_t;

const int albums_in_book = 20;
const int best_per_album = 25;

bool sh(const std::string& cmd) {
    return std::system(cmd.c_str()) == 0;
}

bool write_text(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The camera photos, one album made of them by the engine, and a book of
// twenty albums that share its files through hard links, each with its own
// best and good lists. Made once; later runs reuse them.
bool make_book(const std::string& keep, int photos, std::string& book) {
    const std::string camera = keep + "/camera-" + std::to_string(photos);
    book = keep + "/albumdialogs-" + std::to_string(photos);
    if (snapfolio::is_exist(book + "/made")) return true;
    if ((int)photos_in(camera).size() != photos) {
        std::cout << "writing " << photos << " photos of 1024x768 into " << camera << std::endl;
        if (!sh("rm -rf '" + camera + "' && " + SAMPLES_PROGRAM + " '" + camera + "' --count " +
                std::to_string(photos) + " --size 1024x768"))
            return false;
    }
    std::cout << "making the album and its book in " << book << std::endl;
    if (!sh("rm -rf '" + book + "' && mkdir -p '" + book + "/txt'") ||
        !write_text(book + "/txt/head.txt", "Book\r\nBook\r\n") ||
        !sh(std::string(CLI_PROGRAM) + " make '" + camera + "' '" + book + "/a00' >/dev/null"))
        return false;
    const std::vector<std::string> names = photos_in(book + "/a00/original");
    for (int a = albums_in_book - 1; a >= 0; --a) {
        char album[8];
        std::snprintf(album, sizeof album, "a%02d", a);
        const std::string dir = book + "/" + album;
        if (a > 0 && !sh("cp -al '" + book + "/a00' '" + dir + "'")) return false;
        // Every album its own files: the copies share a00's by hard links.
        std::string best;
        for (int k = 0; k < best_per_album && size_t(a * best_per_album + k) < names.size(); ++k)
            best += names[a * best_per_album + k] + "\r\n";
        for (const char* list : {"best.txt", "good.txt"}) {
            std::remove((dir + "/txt/" + list).c_str());
            if (!write_text(dir + "/txt/" + list, best)) return false;
        }
    }
    return write_text(book + "/made", "");
}

struct open_t {
    double drawn_ms = 0;   // made, shown and drawn: the first screenful of cells
    double filled_ms = 0;  // from then until every cell is made and drawn
    double drawn_cpu_ms = 0, filled_cpu_ms = 0;  // the same in processor time
    double longest_ms = 0;                       // the longest main-loop turn meanwhile
    size_t made_when_drawn = 0;
    std::vector<std::pair<path_t, std::string>> cells, loaded;
};

// Makes the dialog, shows it and runs the main loop until it has been
// drawn, then until every cell is made and nothing is pending.
template <class Make>
open_t open_dialog(Make make) {
    open_t r;
    double start = now_ms(), cpu = cpu_ms();
    std::unique_ptr<snapfolio::AlbumGridDialog> dialog = make();
    bool drawn = false;
    dialog->signal_draw().connect(
        [&](const Cairo::RefPtr<Cairo::Context>&) {
            drawn = true;
            return false;
        },
        true);
    dialog->show();
    while (!drawn) Gtk::Main::iteration(true);
    r.drawn_ms = now_ms() - start;
    r.drawn_cpu_ms = cpu_ms() - cpu;
    r.made_when_drawn = dialog->made();
    start = now_ms();
    cpu = cpu_ms();
    while (dialog->filling() || Gtk::Main::events_pending()) {
        const double turn = now_ms();
        Gtk::Main::iteration(false);
        r.longest_ms = std::max(r.longest_ms, now_ms() - turn);
    }
    r.filled_ms = now_ms() - start;
    r.filled_cpu_ms = cpu_ms() - cpu;
    for (auto& cell : dialog->get_items()) {
        r.cells.push_back({cell->album, cell->name});
        if (cell->loaded) r.loaded.push_back({cell->album, cell->name});
    }
    return r;
}

// The cells' shooting data written alone.
double exif_ms(const std::vector<std::pair<path_t, std::string>>& cells) {
    double start = now_ms();
    for (const auto& c : cells) {
        std::ostringstream out;
        snapfolio::writeexif(out, c.first, "original", c.second, false);
    }
    return now_ms() - start;
}

// The drawn cells' thumbnails loaded alone.
double thumbnails_ms(const std::vector<std::pair<path_t, std::string>>& cells) {
    double start = now_ms();
    for (const auto& c : cells) {
        libgr::image2d_t image;
        snapfolio::load_scaled_thumbnail(image, c.first, c.second, 1);
    }
    return now_ms() - start;
}

template <class Make>
void report(const char* what, Make make) {
    std::vector<double> drawn, filled, drawn_cpu, filled_cpu, longest, exif_first, exif_all, thumbs;
    open_t r;
    for (int run = 0; run < 3; ++run) {
        r = open_dialog(make);
        drawn.push_back(r.drawn_ms);
        filled.push_back(r.filled_ms);
        drawn_cpu.push_back(r.drawn_cpu_ms);
        filled_cpu.push_back(r.filled_cpu_ms);
        longest.push_back(r.longest_ms);
        exif_first.push_back(exif_ms({r.cells.begin(), r.cells.begin() + r.made_when_drawn}));
        exif_all.push_back(exif_ms(r.cells));
        thumbs.push_back(thumbnails_ms(r.loaded));
    }
    const double d = median(drawn), e = median(exif_first), t = median(thumbs);
    std::printf("%s: %zu cells (median of 3)\n", what, r.cells.size());
    std::printf(
        "  open until drawn     %7.0f ms   (target < 1000; processor %.0f ms), %zu cells made\n", d,
        median(drawn_cpu), r.made_when_drawn);
    std::printf("    EXIF descriptions  %7.0f ms\n", e);
    std::printf("    thumbnail loading  %7.0f ms   (%zu drawn)\n", t, r.loaded.size());
    std::printf("    widget building, layout and drawing %.0f ms\n", d - e - t);
    std::printf(
        "  the rest made while the window answers: %.0f ms more (processor %.0f ms,\n"
        "    EXIF %.0f ms), the longest main-loop turn meanwhile %.0f ms\n",
        median(filled), median(filled_cpu), median(exif_all) - e, median(longest));
}

}  // namespace

int main(int argc, char** argv) {
    const photo_args_t args = photo_args(argc, argv, 500);
    const int photos = args.photos;
    const std::string& keep = args.keep;
    if (!start_windows()) return 0;
    snapfolio::initexif();
    // The default settings: no settings file is read.
    snapfolio::g_global = snapfolio::global_t();

    libutils::mkdir(keep);
    std::string book;
    if (!make_book(keep, photos, book)) {
        std::cerr << "the album could not be made" << std::endl;
        return 1;
    }
    Gtk::Window parent;
    report(("edit-album dialog, album of " + std::to_string(photos) + " photos").c_str(), [&] {
        return std::make_unique<snapfolio::EditAlbumDialog>(parent, path_t("", book, "a00"), "");
    });
    report("best-book collection, book of 20 albums", [&] {
        return std::make_unique<snapfolio::BestBookDialog>(parent, path_t("", book, "_BestBook"),
                                                           "", true);
    });
    return 0;
}

#include "gui/gui_env.h"

#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <sys/stat.h>

#include <chrono>
#include <map>
#include <thread>

#include "support/testenv.h"

namespace guitest {

bool gui_available() {
    static const bool ok = [] {
        if (!gtk_init_check(nullptr, nullptr)) return false;
        Gtk::Main::init_gtkmm_internals();
        return true;
    }();
    return ok;
}

void pump(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < until);
    while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
}

namespace {

void texts(const std::string& dir, const std::string& title, const std::string& head,
           const std::string& last) {
    ::mkdir((dir + "/txt").c_str(), 0755);
    testenv::write_file(dir + "/txt/head.txt", title + "\r\n" + title + "\r\n" + head);
    testenv::write_file(dir + "/txt/last.txt", last);
}

}  // namespace

void make_root(const std::string& root, const std::string& title, const std::string& head,
               const std::string& last, const std::vector<entry_t>& entries) {
    ::mkdir(root.c_str(), 0755);
    texts(root, title, head, last);
    for (const entry_t& e : entries) {
        std::string dir = root + "/" + e.name;
        ::mkdir(dir.c_str(), 0755);
        if (e.original) ::mkdir((dir + "/original").c_str(), 0755);
        if (!e.txt) continue;
        texts(dir, e.title, e.head, "");
        if (!e.count.empty()) testenv::write_file(dir + "/txt/count.txt", e.count);
    }
}

std::string make_home(const std::string& album_root) {
    std::string home = testenv::scratch_dir("home");
    testenv::write_file(home + "/.snapfolio", "album=" + album_root + "\r\n");
    return home;
}

args_t::args_t(std::vector<std::string> w) : words(std::move(w)) {
    for (std::string& s : words) argv.push_back(&s[0]);
    argv.push_back(nullptr);
}

namespace {

// Times each toplevel was hidden: a dialog made again at the same address
// is told apart from the one before it.
std::map<const void*, int>& hides() {
    static std::map<const void*, int> count;
    return count;
}

void watch_hides(Gtk::Window& w) {
    GObject* o = G_OBJECT(w.gobj());
    if (g_object_get_data(o, "guitest-watched")) return;
    g_object_set_data(o, "guitest-watched", o);
    g_signal_connect(o, "hide", G_CALLBACK(+[](GtkWidget* widget, gpointer) {
                         ++hides()[widget];
                     }),
                     nullptr);
}

}  // namespace

dialog_script_t::dialog_script_t(std::vector<step_t> s) : steps(std::move(s)) {
    timer = Glib::signal_timeout().connect(sigc::mem_fun(*this, &dialog_script_t::tick), 20);
}

dialog_script_t::~dialog_script_t() {
    timer.disconnect();
}

bool dialog_script_t::tick() {
    if (next >= steps.size()) return false;
    std::vector<Gtk::Window*> windows = Gtk::Window::list_toplevels();
    for (Gtk::Window* w : windows) {
        if (!w->get_visible()) continue;
        watch_hides(*w);
        auto* dialog = dynamic_cast<Gtk::Dialog*>(w);
        if (!dialog || dialog->get_title() != steps[next].title) continue;
        bool covered = false;
        for (Gtk::Window* other : windows)
            covered = covered || (other->get_visible() && other->get_transient_for() == w);
        if (covered) continue;
        const std::string key = std::to_string((uintptr_t)w->gobj()) + " " + w->get_title() +
                                " " + std::to_string(hides()[w->gobj()]);
        if (key == last_key) continue;
        last_key = key;
        seen += w->get_title() + "\n";
        // Acted on from a source of its own: the act may run a modal loop,
        // in which this timer must go on ticking.
        auto act = steps[next++].act;
        Glib::signal_idle().connect_once([act, dialog] { act(*dialog); });
        return next < steps.size();
    }
    return true;
}

dialog_script_t::step_t answer(const std::string& title, int response) {
    return {title, [response](Gtk::Dialog& d) { d.response(response); }};
}

}  // namespace guitest

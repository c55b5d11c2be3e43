#include "gui/gui_env.h"

#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <sys/stat.h>

#include <chrono>
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

}  // namespace guitest

#include "snapfolio/gui/standins.h"

#include <cstdlib>
#include <iostream>

#include "snapfolio/engine/global.h"

namespace snapfolio {
namespace standin {

namespace {

// Runs a command line through sh in the background; the shell's status.
int run_detached(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1 &").c_str());
}

void open_index(const path_t& entry) {
    run_browser(entry.str());
}

}  // namespace

void run_good_album_dialog(Gtk::Window&, const path_t& entry, const std::string&) {
    open_index(entry);
}

void run_best_book_dialog(Gtk::Window&, const path_t& entry, const std::string&) {
    open_index(entry);
}

void run_view_book_dialog(Gtk::Window&, const path_t& book, const std::string&) {
    open_index(book);
}

void run_view_album_dialog(Gtk::Window&, const path_t& album, const std::string&) {
    open_index(album);
}

void run_edit_book_dialog(Gtk::Window&, const path_t& book, const std::string&,
                          const std::string&) {
    std::cerr << book.str() << ": the book editor is not built yet." << std::endl;
}

void run_browser(const std::string& dir) {
    run_detached("xdg-open " + shell_quote(dir + "/index.html"));
}

bool run_glimvue3(const std::string& prefix, const std::vector<std::string>& targets) {
    // The program's directory is quoted on its own: the setting's first word
    // (the viewer's file name) continues it, and the options follow.
    std::string command = (prefix.empty() ? prefix : shell_quote(prefix)) + g_global.glimvue3;
    for (const std::string& t : targets) command += " " + shell_quote(t);
    return run_detached(command) == 0;
}

std::string shell_quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

}  // namespace standin
}  // namespace snapfolio

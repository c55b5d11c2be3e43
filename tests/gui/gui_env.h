// Helpers of the window tests: GTK set up once per process, pumping events,
// and album roots built on disk.
#pragma once

#include <string>
#include <vector>

namespace guitest {

// GTK and gtkmm ready for widgets; false when there is no display.
bool gui_available();
// Runs the main loop until nothing is pending, then for `ms` milliseconds
// more (layout can take a few rounds).
void pump(int ms = 0);

// An entry of an album root: a directory with the given parts.
struct entry_t {
    std::string name;
    bool original = false;  // an album
    bool txt = true;        // has texts (else the menu skips it)
    std::string title;
    std::string head;   // text above the pictures, CR LF lines
    std::string count;  // content of txt/count.txt; none when empty
};
// Makes root (with its own txt/ texts) and the entries in it.
void make_root(const std::string& root, const std::string& title, const std::string& head,
               const std::string& last, const std::vector<entry_t>& entries);

// A home folder holding a settings file that points at album root.
std::string make_home(const std::string& album_root);

// argv for a program, kept alive as long as the object.
struct args_t {
    std::vector<std::string> words;
    std::vector<char*> argv;
    explicit args_t(std::vector<std::string> w);
    int argc() const { return (int)words.size(); }
};

}  // namespace guitest

#define SKIP_WITHOUT_DISPLAY()                                               \
    do {                                                                     \
        if (!guitest::gui_available())                                       \
            GTEST_SKIP() << "no X display: window tests run under xvfb-run " \
                            "(scripts/run-tests.sh)";                        \
    } while (0)

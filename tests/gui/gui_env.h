// Helpers of the window tests: GTK set up once per process, pumping events,
// and album roots built on disk.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtkmm/dialog.h>
#include <sigc++/connection.h>

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

// Acts, as a user would, on the modal dialogs that a call opens: each step
// waits until a visible dialog with its title is on top (no visible window
// is transient for it) and not the one the step before acted on, unless
// that one has been hidden or retitled since, then acts on it once,
// usually with response(). Steps run from the main loop that the modal
// runs turn; the script stops with its object.
class dialog_script_t {
  public:
    struct step_t {
        std::string title;
        std::function<void(Gtk::Dialog&)> act;
    };
    explicit dialog_script_t(std::vector<step_t> steps);
    ~dialog_script_t();
    size_t done() const { return next; }
    // The titles of the dialogs acted on, one a line.
    std::string seen;

  private:
    bool tick();
    std::vector<step_t> steps;
    size_t next = 0;
    std::string last_key;
    sigc::connection timer;
};

// A step that answers the dialog with `response`.
dialog_script_t::step_t answer(const std::string& title, int response);

}  // namespace guitest

#define SKIP_WITHOUT_DISPLAY()                                               \
    do {                                                                     \
        if (!guitest::gui_available())                                       \
            GTEST_SKIP() << "no X display: window tests run under xvfb-run " \
                            "(scripts/run-tests.sh)";                        \
    } while (0)

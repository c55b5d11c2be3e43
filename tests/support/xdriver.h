// Driving a real program's window under an X server from outside, as a user
// would: start it, find its window, send keys and buttons with xdotool, read
// its title and geometry, and read its pixels back from the screen with
// ImageMagick's import. Shared by every test that opens a window.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace xdriver {

// Empty when a display, xdotool and import are all there; else why not.
std::string unavailable();

// Waits up to `seconds` for a visible window whose whole title is `title`
// (whoever started it): its id, or empty.
std::string wait_window(const std::string& title, double seconds = 60);

// Gives the window the focus, then types the keys: GTK windows take keys
// only when focused, and without a window manager nobody else focuses them.
void focus_key(const std::string& window, const std::string& keys);

// Pixels read from the screen: 8-bit RGB, rows top to bottom.
struct shot_t {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    bool operator==(const shot_t& o) const {
        return width == o.width && height == o.height && rgb == o.rgb;
    }
};

struct geometry_t {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const geometry_t& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

class app_t {
  public:
    app_t() = default;
    app_t(const app_t&) = delete;
    app_t& operator=(const app_t&) = delete;
    ~app_t();  // kills the program if it still runs

    // Starts argv[0] with the arguments in `cwd` (when given) with HOME set
    // to `home` (when given), and waits up to 20 s for its first window. With
    // XDRIVER_LOG set, the program's output is appended to that file.
    bool start(const std::vector<std::string>& argv, const std::string& cwd = "",
               const std::string& home = "");
    const std::string& window() const { return m_window; }

    // xdotool key names: "space", "shift+space", "slash", "Home".
    bool key(const std::string& keys);
    // A button pressed and released with the pointer at (x, y) of the window.
    bool click(int button, int x = 10, int y = 10);

    std::string title() const;
    // Waits up to 5 s for the title to become `want`; the last title seen.
    std::string wait_title(const std::string& want) const;
    geometry_t geometry() const;
    // Waits up to 5 s for the window to get that size.
    geometry_t wait_size(int width, int height) const;
    // Waits up to 5 s for the window to get that place and size.
    geometry_t wait_geometry(const geometry_t& want) const;
    // The on-screen part of the window, read from the root window.
    bool capture(shot_t& out) const;
    // Waits until three captures 150 ms apart agree (the window has settled).
    bool capture_settled(shot_t& out) const;

    // Waits up to `seconds` for the program to end: its exit status, or -1.
    int wait_exit(double seconds = 5);

  private:
    pid_t m_pid = -1;
    bool start_once(const std::vector<std::string>& argv, const std::string& cwd,
                    const std::string& home);
    std::string m_window;
};

}  // namespace xdriver

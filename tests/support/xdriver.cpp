#include "support/xdriver.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/testenv.h"

namespace xdriver {

namespace {

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

// Reads get() every 100 ms for up to 5 s until done() holds of it; the last
// value read.
template <class Get, class Done>
auto poll(Get get, Done done) -> decltype(get()) {
    auto value = get();
    for (int i = 1; i < 50 && !done(value); ++i) {
        sleep_ms(100);
        value = get();
    }
    return value;
}

}  // namespace

std::string unavailable() {
    const char* d = getenv("DISPLAY");
    if (!d || !*d) return "no X display (run under xvfb-run)";
    for (const char* p : {"xdotool", "import"})
        if (!testenv::have_program(p))
            return std::string(p) + " is not installed (scripts/install-deps.sh --test)";
    return "";
}

std::string wait_window(const std::string& title, double seconds) {
    std::string out;
    for (int i = 0; i <= int(seconds * 20); ++i) {
        if (testenv::run("xdotool search --onlyvisible --name " +
                             testenv::shell_quote("^" + title + "$") + " 2>/dev/null",
                         &out) == 0 &&
            !out.empty())
            return out.substr(0, out.find('\n'));
        sleep_ms(50);
    }
    return "";
}

void focus_key(const std::string& window, const std::string& keys) {
    testenv::run("xdotool windowfocus --sync " + window + " key " + keys + " 2>/dev/null");
}

app_t::~app_t() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool app_t::start(const std::vector<std::string>& argv, const std::string& cwd,
                  const std::string& home) {
    // A loaded X server now and then refuses a new client; one more try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (start_once(argv, cwd, home)) return true;
        if (m_pid > 0) return false;  // running but no window: a real failure
    }
    return false;
}

bool app_t::start_once(const std::vector<std::string>& argv, const std::string& cwd,
                       const std::string& home) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid < 0) return false;
    if (m_pid == 0) {
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
        if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
        int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) ::dup2(null, 0);
        if (const char* log = getenv("XDRIVER_LOG")) {
            int fd = ::open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (fd >= 0) ::dup2(fd, 1), ::dup2(fd, 2);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    for (int i = 0; i < 200 && m_window.empty(); ++i) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        std::string out;
        testenv::run("xdotool search --onlyvisible --pid " + std::to_string(m_pid) +
                         " 2>/dev/null | head -1",
                     &out);
        m_window = trimmed(out);
        if (m_window.empty()) sleep_ms(100);
    }
    return !m_window.empty();
}

bool app_t::key(const std::string& keys) {
    if (testenv::run("xdotool key --window " + m_window + " " + keys + " 2>/dev/null") == 0)
        return true;
    // When the window goes away between press and release (a quit key),
    // xdotool stops before the release; a key left down in the server
    // repeats into the next test's window.
    testenv::run("xdotool keyup " + keys + " 2>/dev/null");
    return false;
}

bool app_t::click(int button, int x, int y) {
    // Sent to the window itself: tests running side by side share the
    // pointer, and a real click lands on whichever window is on top.
    return testenv::run("xdotool mousemove --window " + m_window + " " + std::to_string(x) + " " +
                        std::to_string(y) + " click --window " + m_window + " " +
                        std::to_string(button) + " 2>/dev/null") == 0;
}

std::string app_t::title() const {
    std::string out;
    testenv::run("xdotool getwindowname " + m_window + " 2>/dev/null", &out);
    return trimmed(out);
}

std::string app_t::wait_title(const std::string& want) const {
    return poll([this] { return title(); }, [&](const std::string& t) { return t == want; });
}

geometry_t app_t::geometry() const {
    std::string out;
    testenv::run("xdotool getwindowgeometry --shell " + m_window + " 2>/dev/null", &out);
    geometry_t g;
    std::sscanf(out.c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &g.x, &g.y, &g.width,
                &g.height);
    return g;
}

geometry_t app_t::wait_size(int width, int height) const {
    return poll([this] { return geometry(); },
                [&](const geometry_t& g) { return g.width == width && g.height == height; });
}

geometry_t app_t::wait_geometry(const geometry_t& want) const {
    return poll([this] { return geometry(); }, [&](const geometry_t& g) { return g == want; });
}

bool app_t::capture(shot_t& out) const {
    geometry_t g = geometry();
    std::string size;
    testenv::run("xdotool getdisplaygeometry 2>/dev/null", &size);
    int sw = 0, sh = 0;
    if (std::sscanf(size.c_str(), "%d %d", &sw, &sh) != 2) return false;
    out.width = std::min(g.width, sw - g.x);
    out.height = std::min(g.height, sh - g.y);
    if (out.width <= 0 || out.height <= 0) return false;
    std::string crop = std::to_string(out.width) + "x" + std::to_string(out.height) + "+" +
                       std::to_string(g.x) + "+" + std::to_string(g.y);
    std::string bytes;
    int rc = testenv::run(
        "import -silent -window root -crop " + crop + " -depth 8 rgb:- 2>/dev/null", &bytes);
    if (rc != 0 || bytes.size() != size_t(out.width) * out.height * 3) return false;
    out.rgb.assign(bytes.begin(), bytes.end());
    return true;
}

bool app_t::capture_settled(shot_t& out) const {
    shot_t before;
    if (!capture(before)) return false;
    int same = 0;
    for (int i = 0; i < 40 && same < 2; ++i) {
        sleep_ms(150);
        if (!capture(out)) return false;
        same = out == before ? same + 1 : 0;
        before = out;
    }
    return true;
}

int app_t::wait_exit(double seconds) {
    if (m_pid <= 0) return -1;
    for (int i = 0; i < int(seconds * 20); ++i) {
        int status = 0;
        pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        sleep_ms(50);
    }
    return -1;
}

}  // namespace xdriver

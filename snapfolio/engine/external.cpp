#include "snapfolio/engine/external.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "libutils/error.h"
#include "libutils/shellquote.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/shellrun.h"

namespace snapfolio {

namespace {

const char k_tmp[] = "/tmp/";

// A directory of ours to remove: the very path mkdtemp gave us, one level
// below /tmp, still a directory of this user and not a symbolic link (rm
// would take a link for what it points to only with a trailing "/", but a
// swapped-in directory must not be removed either).
bool removable(const std::string& made, const std::string& dir) {
    if (made.empty() || dir != made) return false;
    if (made.compare(0, sizeof k_tmp - 1, k_tmp) != 0) return false;
    std::string leaf = made.substr(sizeof k_tmp - 1);
    if (leaf.empty() || leaf == "." || leaf == ".." || leaf.find('/') != std::string::npos)
        return false;
    struct stat st;
    if (::lstat(made.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode) && st.st_uid == ::geteuid();
}

// The program directory goes into the viewer's command line unquoted, as the
// first part of the program's path, when the shell would take it literally
// anyway; otherwise in double quotes, which the shell joins with the
// setting's program name that follows.
std::string program_prefix(const std::string& prefix) {
    for (unsigned char c : prefix) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',' ||
                     c == ':' || c == '@' || c == '%' || c == '=';
        if (!plain) return libutils::dquote(prefix);
    }
    return prefix;
}

}  // namespace

bool temp_t::init(const std::string& name) {
    if (active) return true;
    std::string tmpl = k_tmp + name;
    if (name.find('/') != std::string::npos) {
        return libutils::fail(std::cerr, tmpl, ": not a plain directory name.");
    }
    std::string made = tmpl;
    if (!::mkdtemp(&made[0])) {
        made = tmpl + ".XXXXXX";
        if (!::mkdtemp(&made[0])) {
            return libutils::fail(std::cerr, tmpl, ": mkdtemp failed.");
        }
    }
    m_made = made;
    path = path_t(std::string(), made, std::string());
    active = true;
    return true;
}

bool temp_t::destroy() {
    if (!active) return false;
    active = false;
    if (removable(m_made, path.dir)) {
        shell_system(rm_rf_command(path.dir));
    } else {
        libutils::report(std::cerr, path.dir,
                         ": not the temporary directory made here, not removed.");
    }
    m_made.clear();
    return true;
}

bool program_found(const std::string& program) {
    if (program.empty()) return false;
    if (program.find('/') != std::string::npos) {
        struct stat st;
        return ::stat(program.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               ::access(program.c_str(), X_OK) == 0;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t from = 0;
    for (;;) {
        size_t colon = dirs.find(':', from);
        std::string dir = dirs.substr(from, colon - from);
        if (program_found((dir.empty() ? "." : dir) + "/" + program)) return true;
        if (colon == std::string::npos) return false;
        from = colon + 1;
    }
}

std::string browser_program() {
    return "xdg-open";
}

std::string glimvue3_program(const std::string& prefix) {
    // The setting's first word is the viewer's file name, the rest options.
    const std::string& setting = g_global.glimvue3;
    return prefix + setting.substr(0, setting.find(' '));
}

std::string browser_command(const std::string& dir) {
    return browser_program() + " " + libutils::dquote(dir + "/index.html") + " &";
}

std::string glimvue3_command(const std::string& prefix, const std::vector<std::string>& targets) {
    std::string command = program_prefix(prefix) + g_global.glimvue3;
    for (const std::string& t : targets) command += " " + libutils::dquote(t);
    return command + " &";
}

std::string movie_command(const std::string& file) {
    return g_global.movie + " " + libutils::dquote(file) + " &";
}

std::string mv_command(const std::string& from, const std::string& to) {
    return "mv " + libutils::dquote(from) + " " + libutils::dquote(to);
}

std::string rm_rf_command(const std::string& path) {
    return "rm -rf " + libutils::dquote(path);
}

void run_browser(const std::string& dir) {
    shell_system(browser_command(dir));
}

bool run_glimvue3(const std::string& prefix, const std::string& target) {
    return run_glimvue3(prefix, std::vector<std::string>{target});
}

bool run_glimvue3(const std::string& prefix, const std::vector<std::string>& targets) {
    return shell_succeeded(shell_system(glimvue3_command(prefix, targets)));
}

bool run_movie(const std::string& file) {
    return shell_succeeded(shell_system(movie_command(file)));
}

int run_mv(const std::string& from, const std::string& to) {
    return shell_system(mv_command(from, to));
}

int run_rm_rf(const std::string& path) {
    return shell_system(rm_rf_command(path));
}

}  // namespace snapfolio

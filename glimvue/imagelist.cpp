#include "glimvue/imagelist.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "glimlib/option.h"
#include "libutils/error.h"
#include "libutils/linefile.h"
#include "libutils/path.h"
#include "libutils/text.h"

namespace glimvue2 {

using glimlib::g_option;

namespace {

const char* const s_extensions[] = {".jpg", ".jpeg", ".bmp", ".png", ".tga"};

// The absolute form of an existing path; "" when it cannot be resolved
// (the C call gives no name then, and nothing must be added).
std::string absolute(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> p(::realpath(path.c_str(), nullptr), &std::free);
    return p ? std::string(p.get()) : std::string();
}

std::string current_directory() {
    std::unique_ptr<char, decltype(&std::free)> p(::getcwd(nullptr, 0), &std::free);
    return p ? std::string(p.get()) : std::string();
}

bool change_directory(const std::string& dir) {
    if (::chdir(dir.c_str()) == 0) return true;
    return libutils::fail(std::cerr, dir, ": cannot change directory.");
}

}  // namespace

bool is_picture_name(const std::string& name) {
    for (const char* e : s_extensions)
        if (libutils::extcasecmp(name, e) == 0) return true;
    return false;
}

bool imagelist_t::setImagePath(const std::string& given) {
    const std::string path = given.empty() ? "." : given;
    if (g_option.verbose) std::cout << "srchpath: " << path << std::endl;
    if (DIR* dir = ::opendir(path.c_str())) {
        if (g_option.debug) std::cout << "dir: " << path << std::endl;
        std::vector<std::string> found;
        const std::string prefix = path.back() == '/' ? path : path + "/";
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (is_picture_name(name)) {
                if (g_option.debug) std::cout << "file add: " << name << std::endl;
                found.push_back(prefix + name);
            } else if (g_option.verbose) {
                std::cout << "skip: " << name << std::endl;
            }
        }
        ::closedir(dir);
        if (found.empty()) return false;
        std::sort(found.begin(), found.end());
        m_files.insert(m_files.end(), found.begin(), found.end());
    } else {
        if (!is_picture_name(path)) return false;
        if (g_option.debug) std::cout << "file add: " << path << std::endl;
        m_files.push_back(path);
    }
    m_current = 0;
    return true;
}

void imagelist_t::add_list_file(const std::string& path) {
    std::vector<std::string> lines;
    libutils::read_lines(lines, path, std::cerr);
    for (std::string& line : lines) {
        libutils::chop2(line);
        if (line.empty()) break;
        // A NUL byte cannot be part of a file name: such a line is junk.
        std::string abs = line.find('\0') == std::string::npos ? absolute(line) : "";
        if (abs.empty()) {
            libutils::report(std::cerr, line.substr(0, line.find('\0')), ": no such file, skipped.");
            continue;
        }
        setImagePath(abs);
    }
}

void imagelist_t::add_words(const std::vector<std::string>& words) {
    const std::string home = current_directory();
    bool make_absolute = false;
    for (const std::string& w : words) {
        if (libutils::stringcmp(w, "-C") == 0) {
            change_directory(home);
            make_absolute = w.size() > 2;
            if (make_absolute) change_directory(w.substr(2));
        } else if (libutils::stringcmp(w, "-@") == 0) {
            add_list_file(w.substr(2));
        } else if (!w.empty() && w[0] == '-') {
            continue;
        } else if (make_absolute) {
            std::string abs = absolute(w);
            if (abs.empty())
                libutils::report(std::cerr, w, ": no such file, skipped.");
            else
                setImagePath(abs);
        } else {
            setImagePath(w);
        }
    }
    if (!home.empty()) change_directory(home);
}

const std::string& imagelist_t::current() const {
    static const std::string none;
    return m_current == npos ? none : m_files[m_current];
}

std::string imagelist_t::title() const {
    if (m_current == npos) return "";
    return m_files[m_current] + " (" + std::to_string(m_current + 1) + "/" +
           std::to_string(m_count) + ")";
}

bool imagelist_t::try_load(size_t i, const image_sink_t& sink) {
    if (!sink.load(m_files[i])) return false;
    m_current = i;
    if (g_option.verbose) std::cout << std::endl << "display image: " << m_files[i] << std::endl;
    return true;
}

bool imagelist_t::try_range(long from, long to, long step, const image_sink_t& sink) {
    for (long i = from; step > 0 ? i <= to : i >= to; i += step)
        if (try_load(size_t(i), sink)) return true;
    return false;
}

void imagelist_t::reload_current(const image_sink_t& sink) {
    if (m_current != npos) sink.load(m_files[m_current]);
}

bool imagelist_t::initial_load(const image_sink_t& sink) {
    m_count = m_files.size();
    m_current = m_files.empty() ? npos : 0;
    if (m_files.empty()) return false;
    sink.drop();
    if (try_range(0, long(m_files.size()) - 1, 1, sink)) return true;
    m_current = npos;
    return false;
}

bool imagelist_t::next_image(size_t n, const image_sink_t& sink) {
    if (m_files.empty() || m_current == npos) return false;
    const long last = long(m_files.size()) - 1;
    const long target = long(m_current) + long(n);
    if (target > last) return false;
    sink.drop();
    if (try_range(target, last, 1, sink) || try_range(last, 1, -1, sink)) return true;
    reload_current(sink);
    return true;
}

bool imagelist_t::back_image(size_t n, const image_sink_t& sink) {
    if (m_files.empty() || m_current == npos || m_current == 0) return false;
    const long target = std::max(0L, long(m_current) - long(n));
    sink.drop();
    if (try_range(target, 1, -1, sink) || try_range(0, long(m_files.size()) - 1, 1, sink))
        return true;
    reload_current(sink);
    return true;
}

bool imagelist_t::first_image(const image_sink_t& sink) {
    if (m_files.empty()) return false;
    sink.drop();
    if (!try_range(0, long(m_files.size()) - 1, 1, sink)) reload_current(sink);
    return true;
}

bool imagelist_t::last_image(const image_sink_t& sink) {
    if (m_files.empty()) return false;
    sink.drop();
    if (!try_range(long(m_files.size()) - 1, 0, -1, sink)) reload_current(sink);
    return true;
}

void imagelist_t::clear() {
    m_files.clear();
    m_current = npos;
    m_count = 0;
}

}  // namespace glimvue2

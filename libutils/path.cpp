#include "libutils/path.h"

#include <limits.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "libutils/text.h"

namespace libutils {

namespace {

// Only "/" separates directories here: a backslash is an ordinary
// character of a file name.
bool is_sep(wchar_t c) {
    return c == L'/';
}

// Position just after the last separator of a wide path (0 when none).
size_t after_last_sep(const std::wstring& w) {
    size_t p = w.find_last_of(L'/');
    return p == std::wstring::npos ? 0 : p + 1;
}

// Copies at most n-1 bytes of s into dst and terminates it.
size_t copy_bounded(char* dst, const std::string& s, size_t n) {
    if (n == 0) return 0;
    size_t len = std::min(s.size(), n - 1);
    std::memcpy(dst, s.data(), len);
    dst[len] = '\0';
    return len;
}

}  // namespace

const char* baseptr(const char* path) {
    // Walk multibyte characters so that a trail byte equal to "\" or "/"
    // inside a character is not taken for a separator.
    std::mbstate_t st{};
    const char* p = path;
    const char* base = path;
    size_t left = std::strlen(path);
    while (left > 0) {
        wchar_t wc;
        size_t n = std::mbrtowc(&wc, p, left, &st);
        if (n == (size_t)-1 || n == (size_t)-2) {  // invalid: take the byte alone
            st = std::mbstate_t{};
            wc = (unsigned char)*p;
            n = 1;
        } else if (n == 0) {
            break;
        }
        p += n;
        left -= n;
        if (is_sep(wc)) base = p;
    }
    return base;
}

std::string basename2(const std::string& path) {
    return baseptr(path.c_str());
}

std::string basename(const std::string& path) {
    std::wstring w = str2wstr(basename2(path));
    size_t dot = w.rfind(L'.');
    if (dot != std::wstring::npos) w.erase(dot);
    return wstr2str(w);
}

std::string dirname(const std::string& path) {
    const char* b = baseptr(path.c_str());
    return path.substr(0, (size_t)(b - path.c_str()));
}

size_t basename(char* dst, const char* path, size_t n) {
    return copy_bounded(dst, basename(std::string(path)), n);
}

size_t dirname(char* dst, const char* path, size_t n) {
    return copy_bounded(dst, dirname(std::string(path)), n);
}

int extcasecmp(const char* path, size_t len, const char* ext) {
    size_t n = std::strlen(ext);
    if (len < n) return -1;
    int r = ::strncasecmp(path + len - n, ext, n);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int extcasecmp(const std::string& path, const char* ext) {
    return extcasecmp(path.c_str(), path.size(), ext);
}

std::string delimconvert(const std::string& path) {
    return path;
}
std::string deliminvert(const std::string& path) {
    return path;
}

void splitpath(const char* path, char* drive, char* dir, char* name, char* ext) {
    drive[0] = dir[0] = name[0] = ext[0] = '\0';
    std::wstring w = str2wstr(path);
    size_t start = 0;
    size_t colon = w.find(L':');
    if (colon != std::wstring::npos) {
        copy_bounded(drive, wstr2str(w.substr(0, colon + 1)), 1024);
        start = colon + 1;
    }
    std::wstring rest = w.substr(start);
    size_t cut = after_last_sep(rest);
    if (cut > 0) {
        copy_bounded(dir, wstr2str(rest.substr(0, cut)), 1024);
        rest.erase(0, cut);
    }
    size_t dot = rest.rfind(L'.');
    if (dot != std::wstring::npos) {
        copy_bounded(name, wstr2str(rest.substr(0, dot)), 1024);
        copy_bounded(ext, wstr2str(rest.substr(dot)), 1024);
    } else {
        copy_bounded(name, wstr2str(rest), 1024);
    }
}

char* concatpath(char* dst, const char* drive, const char* dir, const char* name, const char* ext) {
    dst[0] = '\0';
    std::strcat(dst, drive);
    std::strcat(dst, dir);
    std::strcat(dst, name);
    std::strcat(dst, ext);
    return dst;
}

void split(splitpath_t& sp, const char* path) {
    splitpath(path, sp.drive, sp.dir, sp.name, sp.ext);
}

char* concat(char* dst, const splitpath_t& sp) {
    return concatpath(dst, sp.drive, sp.dir, sp.name, sp.ext);
}

std::string searchpath(const std::string& name, const char* origin) {
    struct stat st;
    if (::stat(name.c_str(), &st) == 0) return name;

    std::vector<std::string> dirs{"./"};
    if (const char* env = ::getenv("PATH")) separate_token(dirs, env, ":");
    if (origin) {
        splitpath_t sp;
        split(sp, origin);
        dirs.push_back(std::string(sp.drive) + sp.dir);
    }
    for (const std::string& d : dirs) {
        std::string candidate = d + "/" + name;
        if (::stat(candidate.c_str(), &st) == 0) return candidate;
    }
    return name;
}

std::string getcwd() {
    char buf[1024] = {0};
    if (!::getcwd(buf, sizeof buf)) buf[0] = '\0';
    return std::string(buf);
}

std::string realpath(const std::string& path) {
    // Unresolvable paths come back unchanged, which callers treat as absolute
    // enough for display and for building command lines.
    char buf[PATH_MAX] = {0};
    if (!::realpath(path.c_str(), buf)) return path;
    return std::string(buf);
}

int mkdir(const std::string& path) {
    return ::mkdir(path.c_str(), 0755);
}

}  // namespace libutils

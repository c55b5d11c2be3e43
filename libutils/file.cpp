#include "libutils/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "libutils/error.h"
#include "libutils/refvector.h"

namespace libutils {

bool copydate(const std::string& src, const std::string& dst) {
    struct stat st;
    if (::stat(src.c_str(), &st) != 0) {
        return libutils::fail(std::cerr, src, ": stat(2) error.");
    }
    struct timeval tv[2];
    tv[0].tv_sec = st.st_atime;
    tv[0].tv_usec = 0;
    tv[1].tv_sec = st.st_mtime;
    tv[1].tv_usec = 0;
    if (::utimes(dst.c_str(), tv) != 0) {
        return libutils::fail(std::cerr, dst, ": ", std::strerror(errno));
    }
    return true;
}

namespace {

// Copies the rest of `in` to `out` with read and write, through one buffer.
bool copy_by_reading(int in, int out, const std::string& src, const std::string& dst) {
    std::vector<char> buf(1u << 20);
    for (;;) {
        const ssize_t got = ::read(in, buf.data(), buf.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return libutils::fail(std::cerr, src, ": ifs failed.");
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::write(out, buf.data() + put, size_t(got - put));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return libutils::fail(std::cerr, dst, ": ofs failed, ", std::strerror(errno));
            put += n;
        }
    }
}

}  // namespace

bool filecopy(const std::string& src, const std::string& dst) {
    struct stat st;
    if (::stat(src.c_str(), &st) != 0) {
        return libutils::fail(std::cerr, src, ": stat(2) error.");
    }
    const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return libutils::fail(std::cerr, src, ": ", std::strerror(errno));
    }
    const int out = ::open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return libutils::fail(std::cerr, dst, ": ", std::strerror(e));
    }
    // The kernel copies from page cache to page cache, with no buffer of
    // ours to fill; file systems that cannot (or a kernel without the call)
    // fail the first call, and the bytes are then read and written.
    bool ok = true, kernel_copies = true;
    for (bool first = true;; first = false) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n > 0) continue;
        if (n == 0) break;
        if (errno == EINTR) continue;
        if (first && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                      errno == EOPNOTSUPP || errno == EBADF)) {
            kernel_copies = false;
            break;
        }
        ok = libutils::fail(std::cerr, dst, ": ofs failed, ", std::strerror(errno));
        break;
    }
    if (ok && !kernel_copies) ok = copy_by_reading(in, out, src, dst);
    ::close(in);
    if (::close(out) != 0 && ok) {
        ok = libutils::fail(std::cerr, dst, ": ofs failed, ", std::strerror(errno));
    }
    copydate(src, dst);
    return ok;
}

bool filecopy1(const std::string& src, const std::string& dst) {
    struct stat st;
    if (::stat(src.c_str(), &st) != 0) {
        return libutils::fail(std::cerr, src, ": stat failed.", std::strerror(errno));
    }
    std::ofstream out(dst, std::ios::binary | std::ios::trunc);
    if (!out) {
        return libutils::fail(std::cerr, dst, ": ofs open failed.", std::strerror(errno));
    }
    const uint64_t window = 1u << 20;
    const uint64_t total = (uint64_t)st.st_size;
    for (uint64_t offset = 0; offset < total; offset += window) {
        uint64_t n = std::min(window, total - offset);
        bytevector map;
        if (!map.load(n, src.c_str(), prot_read, offset, false)) {
            return libutils::fail(std::cerr, src, ": ", offset, ", ", n, ": ref open failed.",
                                  std::strerror(errno));
        }
        out.write(reinterpret_cast<const char*>(map.begin()), (std::streamsize)n);
    }
    out.close();
    if (out.fail()) {
        return libutils::fail(std::cerr, dst, ": ofs failed, ", std::strerror(errno));
    }
    return copydate(src, dst);
}

template <class L>
static bool listdir(L& list, const std::string& dir, bool want_dirs) {
    list.clear();
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    while (struct dirent* e = ::readdir(d)) {
        bool is_dir = (e->d_type & DT_DIR) != 0 && e->d_type != DT_UNKNOWN;
        if (e->d_type == DT_UNKNOWN) {  // some file systems leave the type out
            struct stat st;
            std::string p = (dir.empty() ? std::string(".") : dir) + "/" + e->d_name;
            is_dir = ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (want_dirs) {
            if (is_dir && std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                list.push_back(e->d_name);
        } else if (!is_dir) {
            list.push_back(e->d_name);
        }
    }
    ::closedir(d);
    std::vector<std::string> v(list.begin(), list.end());
    std::sort(v.begin(), v.end());
    list.assign(v.begin(), v.end());
    return true;
}

bool getfiles(std::vector<std::string>& list, const std::string& dir) {
    return listdir(list, dir, false);
}
bool getdirs(std::vector<std::string>& list, const std::string& dir) {
    return listdir(list, dir, true);
}
bool getfiles(std::list<std::string>& list, const std::string& dir) {
    return listdir(list, dir, false);
}
bool getdirs(std::list<std::string>& list, const std::string& dir) {
    return listdir(list, dir, true);
}

bool need_update(const std::string& src, const std::string& dst) {
    struct stat s, d;
    if (::stat(src.c_str(), &s) != 0) return false;
    if (::stat(dst.c_str(), &d) != 0) return true;
    if (s.st_mtim.tv_sec != d.st_mtim.tv_sec) return s.st_mtim.tv_sec > d.st_mtim.tv_sec;
    return s.st_mtim.tv_nsec > d.st_mtim.tv_nsec;
}

unsigned current_umask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "Umask:") == 0)
            return unsigned(std::stoul(line.substr(6), nullptr, 8));
    // Without /proc: set and put back, one thread at a time.
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

}  // namespace libutils

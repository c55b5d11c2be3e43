#include "libutils/atomicfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "libutils/file.h"
#include "libutils/path.h"

namespace libutils {

namespace {

// Mode for a new file: the old file's when there is one, else 0666 less the
// process's umask.
mode_t new_file_mode(const std::string& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    return 0666 & ~mode_t(current_umask());
}

}  // namespace

bool atomic_ofstream::open(const std::string& target) {
    discard();
    m_target = target;
    std::string tmpl = dirname(target) + "." + basename2(target) + ".tmpXXXXXX";
    int fd = ::mkstemp(&tmpl[0]);
    if (fd < 0) return false;
    ::fchmod(fd, new_file_mode(target));
    ::close(fd);
    m_temp = tmpl;
    std::ofstream::open(m_temp, std::ios::binary | std::ios::trunc);
    if (!is_open()) {
        int e = errno;
        ::unlink(m_temp.c_str());
        m_temp.clear();
        errno = e;
        return false;
    }
    return true;
}

bool atomic_ofstream::commit() {
    if (m_temp.empty()) return false;
    flush();
    bool ok = good();
    close();
    ok = ok && !fail();
    // No fsync: the rename protects against an interrupted or failed run,
    // which is what loses albums in practice, and an album is made of
    // hundreds of files that a sync each would slow down a lot.
    if (ok) {
        ok = ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    } else if (errno == 0) {
        errno = EIO;
    }
    if (!ok) {
        int e = errno;
        ::unlink(m_temp.c_str());
        errno = e;
    }
    m_temp.clear();
    return ok;
}

void atomic_ofstream::discard() {
    if (m_temp.empty()) return;
    if (is_open()) close();
    ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool write_file_atomically(const std::string& path, const void* data, size_t n) {
    atomic_ofstream out;
    if (!out.open(path)) return false;
    out.write(static_cast<const char*>(data), (std::streamsize)n);
    return out.commit();
}

}  // namespace libutils

#include "libutils/alloc.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace libutils {

namespace {
const uint64_t k_huge_page_worthwhile = uint64_t(4) << 20;
}  // namespace

static bool prot_flags(int prot, int& open_flags, int& protection) {
    switch (prot) {
    case prot_read:
        open_flags = O_RDONLY;
        protection = PROT_READ;
        return true;
    case prot_readwrite:
        open_flags = O_RDWR;
        protection = PROT_READ | PROT_WRITE;
        return true;
    default:
        return false;
    }
}

void* alloc_mmap_unix::map(uint64_t size, uint64_t offset) {
    // mmap refuses a zero length; an empty buffer still gets one page so that
    // an empty file or an empty anonymous buffer is a valid, empty storage.
    uint64_t bytes = size ? size : 1;
    void* p = ::mmap(nullptr, bytes, protection, map_flags, fd, fd < 0 ? 0 : (off_t)offset);
    if (p == MAP_FAILED) return nullptr;
    // A large picture in 4 KiB pages costs a page fault per page, and with
    // several threads decoding at once those faults contend for the process's
    // page tables: huge pages, where the system offers them, cut them 512-fold.
    if (fd < 0 && bytes >= k_huge_page_worthwhile) ::madvise(p, bytes, MADV_HUGEPAGE);
    length = size;
    m_mapped = bytes;
    return p;
}

void* alloc_mmap_unix::allocate(uint64_t& size, const char* filename, int prot,
                                uint64_t offset) {
    if (filename) {
        if (!prot_flags(prot, open_flags, protection)) return nullptr;
        map_flags = MAP_SHARED;
        fd = ::open(filename, open_flags | O_CLOEXEC);
        if (fd < 0) return nullptr;
        if (size == 0) {
            struct stat st;
            if (::fstat(fd, &st) != 0 || (uint64_t)st.st_size < offset) {
                ::close(fd);
                fd = -1;
                return nullptr;
            }
            size = (uint64_t)st.st_size - offset;
        }
        if (size == 0) {
            // Nothing to map from the file: keep an anonymous page instead.
            ::close(fd);
            fd = -1;
            map_flags = MAP_PRIVATE | MAP_ANONYMOUS;
            protection = PROT_READ | PROT_WRITE;
        }
    } else {
        if (prot != prot_read && prot != prot_readwrite) return nullptr;
        fd = -1;
        open_flags = 0;
        protection = PROT_READ | PROT_WRITE;
        map_flags = MAP_PRIVATE | MAP_ANONYMOUS;
    }
    void* p = map(size, offset);
    if (!p && fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    return p;
}

void* alloc_mmap_unix::reallocate(void* old, uint64_t size, uint64_t offset) {
    uint64_t old_length = length, old_mapped = m_mapped;
    if (old && fd < 0) {
        // Anonymous memory moves its pages instead of copying them, so an
        // output buffer that grows step by step costs no copies.
        uint64_t bytes = size ? size : 1;
        void* p = ::mremap(old, old_mapped, bytes, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) return nullptr;
        length = size;
        m_mapped = bytes;
        return p;
    }
    void* p = map(size, offset);
    if (!p) return nullptr;
    if (old) {
        std::memcpy(p, old, std::min(old_length, size));
        ::munmap(old, old_mapped);
    }
    return p;
}

void alloc_mmap_unix::deallocate(void* p) {
    if (p) ::munmap(p, m_mapped);
    if (fd >= 0) ::close(fd);
    fd = -1;
    length = m_mapped = 0;
}

void* alloc_new::allocate(uint64_t& size, const char* filename, int, uint64_t offset) {
    if (filename && size == 0) {
        struct stat st;
        if (::stat(filename, &st) != 0) return nullptr;
        size = (uint64_t)st.st_size > offset ? (uint64_t)st.st_size - offset : 0;
    }
    char* p = new (std::nothrow) char[size ? size : 1];
    if (!p) return nullptr;
    if (filename) {
        std::ifstream in(filename, std::ios::binary);
        if (in) {
            in.seekg((std::streamoff)offset);
            in.read(p, (std::streamsize)size);
        }
    }
    length = size;
    return p;
}

void* alloc_new::reallocate(void* old, uint64_t size, uint64_t) {
    char* p = new (std::nothrow) char[size ? size : 1];
    if (!p) return nullptr;
    if (old) {
        std::memcpy(p, old, std::min(length, size));
        delete[] static_cast<char*>(old);
    }
    length = size;
    return p;
}

void alloc_new::deallocate(void* p) {
    delete[] static_cast<char*>(p);
    length = 0;
}

}  // namespace libutils

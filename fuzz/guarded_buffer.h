// Fuzz inputs in a shared buffer whose last byte ends right before an
// inaccessible page: a read past the end faults at once, although the
// buffer's storage is mapped memory that the sanitizers do not watch.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "libutils/refvector.h"

namespace fuzz {

inline libutils::bytevector guarded_buffer(const uint8_t* data, size_t size) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t room = (size + page - 1) / page * page;
    libutils::bytevector storage;
    if (!storage.resize(room + page)) return storage;
    unsigned char* base = storage.begin();
    if (size) std::memcpy(base + room - size, data, size);
    mprotect(base + room, page, PROT_NONE);
    libutils::bytevector window;
    window.setwindow(storage, room - size, size);
    return window;
}

}  // namespace fuzz

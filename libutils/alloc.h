// Storage allocators for the shared buffers: mapped files and anonymous
// memory (alloc_mmap_unix) or plain arrays (alloc_new).
#pragma once

#include <cstddef>
#include <cstdint>

namespace libutils {

// The access mode asked of an allocation. Any other value fails.
enum e_prot_t { prot_read = 0, prot_readwrite = 1 };

// Storage by mmap: a file mapped shared, or anonymous private memory.
struct alloc_mmap_unix {
    int fd = -1;          // -1 for anonymous memory
    uint64_t length = 0;  // bytes recorded for the mapping
    int open_flags = 0;
    int protection = 0;
    int map_flags = 0;

    // With a file name and size 0 the file's size is taken and written back.
    void* allocate(uint64_t& size, const char* filename, int prot, uint64_t offset);
    void* reallocate(void* old, uint64_t size, uint64_t offset);
    void deallocate(void* p);

  private:
    uint64_t m_mapped = 0;  // bytes actually mapped (an empty file maps one page)
    void* map(uint64_t size, uint64_t offset);
};

// Storage by new[].
struct alloc_new {
    uint64_t length = 0;

    void* allocate(uint64_t& size, const char* filename, int prot, uint64_t offset);
    void* reallocate(void* old, uint64_t size, uint64_t offset);
    void deallocate(void* p);
};

}  // namespace libutils

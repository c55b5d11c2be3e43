// The catalogue's line table on arbitrary bytes: one entry per line feed,
// every entry a NUL-terminated string inside the buffer, in file order.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "glimlib/message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> buffer(data, data + size);
    size_t count = glimlib::count_lines(buffer);
    std::vector<const char*> table;
    glimlib::make_message_table(table, buffer, count);
    if (table.size() != count) std::abort();
    const char* begin = buffer.data();
    const char* end = begin + buffer.size();
    const char* previous = begin;
    for (const char* entry : table) {
        if (entry < begin || entry >= end) {
            if (*entry != '\0') std::abort();  // only the shared empty text lies outside
            continue;
        }
        if (entry < previous) std::abort();
        if (!std::memchr(entry, '\0', (size_t)(end - entry))) std::abort();  // unterminated
        for (const char* p = entry; *p; ++p)
            if (*p == '\r' || *p == '\n') std::abort();
        previous = entry;
    }
    return 0;
}

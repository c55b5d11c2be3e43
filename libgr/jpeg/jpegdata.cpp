#include "libgr/jpeg/jpegdata.h"

#include <sys/stat.h>

#include "libutils/atomicfile.h"

namespace libgr {

namespace {

// The bytes go to a temporary file that is renamed over the target: an
// interrupted run never leaves a truncated picture behind, and a mapping of
// the old file (the album engine saves over the file it has just loaded)
// keeps the old inode alive and valid.
bool write_bytes(const char* filename, const libutils::bytevector& data) {
    return libutils::write_file_atomically(filename, data.begin(), data.size());
}

}  // namespace

bool jpegdata_t::load(const char* filename) {
    if (!libutils::bytevector::load(0, filename, libutils::prot_read, 0, false)) return false;
    name = filename;
    return true;
}

bool jpegdata_t::save(const char* filename) {
    if (!write_bytes(filename, *this)) return false;
    name = filename;
    return true;
}

void jpegdata_t::setvector(const libutils::bytevector& buffer, const char* filename) {
    libutils::bytevector::operator=(buffer);
    name = filename;
}

bool jpegdata2_t::load(const char* filename) {
    struct stat st;
    if (::stat(filename, &st) != 0) return false;
    if (!libutils::bytevector::load((uint64_t)st.st_size, filename, libutils::prot_read, 0, false))
        return false;
    name = filename;
    return true;
}

bool jpegdata2_t::save(const char* filename) {
    if (!write_bytes(filename, *this)) return false;
    name = filename;
    return true;
}

}  // namespace libgr

// A whole JPEG file held in a shared buffer (mapped when loaded), with the
// name it was loaded from or saved to.
#pragma once

#include <string>

#include "libutils/refvector.h"

namespace libgr {

class jpegdata_t : public libutils::bytevector {
public:
    // Not owned: points at the caller's string, which must outlive this.
    const char* name = nullptr;

    // Maps the whole file read-only.
    bool load(const char* filename);
    // Removes the file first (so that a live mapping of it stays valid), then
    // writes the bytes.
    bool save(const char* filename);
    void setvector(const libutils::bytevector& buffer, const char* filename);

    using libutils::bytevector::load;
};

class jpegdata2_t : public libutils::bytevector {
public:
    const char* name = nullptr;

    bool load(const char* filename);
    // Writes without removing the file first.
    bool save(const char* filename);

    using libutils::bytevector::load;
};

}  // namespace libgr

#include "libgr/imagefile/filebytes.h"

#include <cstring>

namespace libgr {
namespace filebytes {

uint64_t remaining(std::istream& in) {
    std::streampos here = in.tellg();
    if (here < 0) return 0;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.seekg(here);
    return end > here ? uint64_t(end - here) : 0;
}

bool read_rows(libutils::bytevector& out, std::istream& in, uint64_t rows, uint64_t filerow,
               uint64_t memrow) {
    out.clear();
    if (!out.resize(rows * memrow)) return false;
    for (uint64_t y = 0; y < rows; ++y) {
        unsigned char* row = out.begin() + y * memrow;
        if (!in.read(reinterpret_cast<char*>(row), std::streamsize(filerow))) {
            out.clear();
            return false;
        }
        std::memset(row + filerow, 0, memrow - filerow);
    }
    return true;
}

bool rows_with_size(libutils::bytevector& out, const image2d_t& image, uint64_t rowbytes) {
    uint64_t have = image.rowbyte();
    bool plain = image.window.skip_pixels == 0 && image.window.skip_rows == 0 &&
                 image.rowsize() == rowbytes && image.size() >= image.height * rowbytes;
    if (plain) {
        out = image;
        return true;
    }
    if (image.size() < image.bytesize() || have > rowbytes) return false;
    out.clear();
    if (!out.resize(uint64_t(image.height) * rowbytes)) return false;
    for (uint32_t y = 0; y < image.height; ++y) {
        unsigned char* row = out.begin() + y * rowbytes;
        // Windows starting inside a byte are not written (no writer makes them).
        std::memcpy(row, image[y], have);
        std::memset(row + have, 0, rowbytes - have);
    }
    return true;
}

}  // namespace filebytes
}  // namespace libgr

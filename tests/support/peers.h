// libjpeg-turbo's own tools as the reference the codec and album tests
// compare with: djpeg's pixels and jpegtran's lossless turns.
#pragma once

#include <string>
#include <vector>

namespace peers {

// A binary PNM picture (P5 grey or P6 RGB, maxval 255), rows top to bottom.
struct pnm_t {
    int width = 0, height = 0, channels = 0;
    std::vector<unsigned char> px;
    const unsigned char* row(int y) const { return &px[size_t(y) * width * channels]; }
    unsigned char at(int x, int y, int c) const {
        return px[(size_t(y) * width + x) * channels + c];
    }
};

// False (and `out` empty) for anything but a whole P5 or P6 picture.
bool parse_pnm(const std::string& bytes, pnm_t& out);

// Runs `djpeg -pnm` on a file; returns its exit status (0, or 2 after
// warnings) and the picture it wrote (empty when it wrote none).
int djpeg(const std::string& path, pnm_t& out, std::string* messages = nullptr);

// jpegtran's output (`-copy none`) for `count` quarter turns clockwise of
// the file at `path`; its exit status in `status` (0 fine, 1 error, 2
// warnings).
std::string jpegtran(unsigned count, const std::string& path, int* status = nullptr);

}  // namespace peers

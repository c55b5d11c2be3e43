// The quantised DCT coefficients of a JPEG file as libjpeg reads them, to
// compare files block by block.
#pragma once

#include <string>
#include <vector>

#include <jpeglib.h>

namespace jpegcoefs {

struct component_t {
    int h_samp = 0, v_samp = 0;
    unsigned width_in_blocks = 0, height_in_blocks = 0;
    std::vector<unsigned short> quant;  // natural order
    std::vector<JCOEF> blocks;          // row by row, 64 per block

    const JCOEF* block(unsigned x, unsigned y) const {
        return &blocks[((size_t)y * width_in_blocks + x) * DCTSIZE2];
    }
};

struct coefs_t {
    unsigned width = 0, height = 0;
    std::vector<component_t> comps;
};

// False (with libjpeg's message in `error`) when libjpeg cannot read the
// file; warnings count as failure too.
bool read(coefs_t& out, const std::string& bytes, std::string* error = nullptr);
bool read(coefs_t& out, const unsigned char* data, size_t size, std::string* error = nullptr);

// Empty when equal, else the first difference in words.
std::string compare(const coefs_t& a, const coefs_t& b);

// The markers of the file up to the first SOS: {code, offset of the 0xFF}.
std::vector<std::pair<int, size_t>> header_markers(const std::string& bytes);

}  // namespace jpegcoefs

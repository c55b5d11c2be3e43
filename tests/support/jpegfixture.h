// Test pictures made at test time: JPEG files with chosen sampling, restart
// interval, progression, colour space; written with libjpeg directly.
#pragma once

#include <string>
#include <vector>

namespace jpegfixture {

struct options_t {
    int width = 64;
    int height = 48;
    int components = 3;  // 1 grey, 3 YCbCr, 4 CMYK
    int h_samp = 2;      // luma sampling factors: 2x2 = 4:2:0, 2x1 = 4:2:2, 1x1 = 4:4:4
    int v_samp = 2;
    int quality = 90;
    int restart_rows = 0;  // restart interval in MCU rows (0: none)
    bool progressive = false;
    bool optimize = false;
    unsigned seed = 1;  // picks the test pattern's noise
};

// Pixels of the test pattern: smooth gradients plus seeded noise, rows top
// to bottom, `components` bytes per pixel.
std::vector<unsigned char> pattern(const options_t& o);

// The pattern encoded as a JPEG file (no APPn segments beyond libjpeg's JFIF
// header, which CMYK files do not get).
std::vector<unsigned char> make_jpeg(const options_t& o);
bool write_jpeg(const std::string& path, const options_t& o);

// Writes pixels (rows top to bottom) as a binary PPM (3 components) or PGM.
bool write_pnm(const std::string& path, int width, int height, int components,
               const std::vector<unsigned char>& pixels);

}  // namespace jpegfixture

// The picture every codec benchmark works on, made in memory so that the
// benchmarks need no photo files and measure the same work every run, and
// its PPM for the reference tools.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "libgr/image/image.h"

namespace benchutil {

// A photo-like picture: smooth light, a few edges, texture at several
// scales and sensor noise, so that it codes to about as many bytes per
// pixel as a camera's file of the same quality.
inline void make_photo(libgr::image2d_t& img, uint32_t w, uint32_t h) {
    img.desc =
        libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
    img.width = w;
    img.height = h;
    img.allocate();
    uint32_t state = 12345;
    for (uint32_t y = 0; y < h; ++y) {
        unsigned char* row = img[y];
        float fy = float(y) / h;
        for (uint32_t x = 0; x < w; ++x) {
            float fx = float(x) / w;
            float light = 0.55f + 0.35f * std::sin(fx * 3.1f + fy * 1.7f);
            float texture = 0.10f * std::sin(x * 0.21f + std::sin(y * 0.05f) * 4) *
                                std::cos(y * 0.17f + std::sin(x * 0.031f) * 3) +
                            0.06f * std::sin((x + 2 * y) * 0.9f);
            float edge = ((x / 700 + y / 500) & 1) ? 0.12f : -0.05f;
            for (int c = 0; c < 3; ++c) {
                state = state * 1664525u + 1013904223u;
                float noise = (float((state >> 24) & 15) - 7.5f) / 255.0f;
                float v = light * (0.8f + 0.15f * c) + texture * (1 - 0.3f * c) + edge + noise;
                int b = int(v * 255);
                row[3 * x + c] = (unsigned char)(b < 0 ? 0 : b > 255 ? 255 : b);
            }
        }
    }
}

// The picture as a binary PPM, the input of cjpeg. Our rows are stored
// bottom-up; a PPM starts at the top.
inline bool write_ppm(const std::string& path, const libgr::image2d_t& img) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << img.width << " " << img.height << "\n255\n";
    for (uint32_t y = img.height; y-- > 0;)
        out.write(reinterpret_cast<const char*>(img[y]), std::streamsize(img.width) * 3);
    return bool(out);
}

}  // namespace benchutil

// Writes sample camera photos: JPEG pictures with the EXIF blocks and maker
// notes of OLYMPUS, OM SYSTEM, PENTAX and Canon cameras, some held sideways
// (orientation 6 and 8), most with an EXIF thumbnail. They let the album
// builder be tried, tested and measured without a memory card.
//
//   snapfolio-samples OUTDIR [--count N] [--size WxH] [--quality Q] [--upright]
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "camera.h"
#include "scene.h"

namespace {

using samplegen::shot_t;

const shot_t s_shots[] = {
    {"_5120001.JPG", 0, samplegen::scene_landscape, 1, true, "2026:05:12 09:41:07", 500, 80, 12, 24,
     200, 0, false},
    {"_5120002.JPG", 0, samplegen::scene_forest, 6, true, "2026:05:12 10:02:44", 60, 28, 40, 80,
     3200, -1, false},
    {"P4280003.JPG", 1, samplegen::scene_flowers, 8, true, "2026:04:28 15:20:03", 250, 56, 42, 84,
     400, 1, true},
    {"P1010004.JPG", 2, samplegen::scene_harbour, 1, true, "2026:01:01 17:45:30", 30, 28, 7, 38,
     100, -2, false},
    {"IMGP0005.JPG", 3, samplegen::scene_landscape, 3, false, "2026:03:15 12:00:00", 1000, 110, 50,
     75, 100, 0, false},
    {"IMG_0006.JPG", 4, samplegen::scene_forest, 1, true, "2026:06:01 08:15:59", 125, 40, 105, 105,
     800, 2, false},
};

std::string encode(const std::vector<unsigned char>& rgb, int width, int height, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = (JDIMENSION)width;
    cinfo.image_height = (JDIMENSION)height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.write_JFIF_header = FALSE;  // cameras start with their EXIF block
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[(size_t)cinfo.next_scanline * width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<char*>(mem), size);
    free(mem);
    return out;
}

// The picture as the camera stores it: rendered upright, then turned the way
// a camera held sideways records it.
std::vector<unsigned char> stored_picture(const shot_t& shot, int width, int height,
                                          unsigned seed) {
    bool sideways = shot.orientation == 6 || shot.orientation == 8;
    int up_w = sideways ? height : width, up_h = sideways ? width : height;
    std::vector<unsigned char> rgb =
        samplegen::render_scene((samplegen::e_scene_t)shot.scene, up_w, up_h, seed);
    if (shot.orientation == 6) return samplegen::turn_left(rgb, up_w, up_h);
    if (shot.orientation == 8) return samplegen::turn_right(rgb, up_w, up_h);
    if (shot.orientation == 3) {
        std::vector<unsigned char> out(rgb.size());
        size_t n = (size_t)width * height;
        for (size_t i = 0; i < n; ++i) std::memcpy(&out[i * 3], &rgb[(n - 1 - i) * 3], 3);
        return out;
    }
    return rgb;
}

bool write_shot(const std::string& dir, const shot_t& shot, int width, int height, int quality,
                unsigned seed) {
    std::string thumb;
    if (shot.thumbnail) {
        int tw = 160, th = 120;
        if (width < height) std::swap(tw, th);
        thumb = encode(stored_picture(shot, tw, th, seed), tw, th, 85);
    }
    std::string jpeg = encode(stored_picture(shot, width, height, seed), width, height, quality);
    exifwriter::bytes_t tiff = samplegen::exif_tiff(shot, thumb, width, height);
    std::string file = exifwriter::splice_app1(jpeg, exifwriter::exif_payload(tiff));
    if (file.empty()) {
        std::cerr << shot.file << ": EXIF block too large." << std::endl;
        return false;
    }
    std::string path = dir + "/" + shot.file;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), (std::streamsize)file.size());
    out.close();
    if (out.fail()) {
        std::cerr << path << ": write error." << std::endl;
        return false;
    }
    return true;
}

int usage(const char* argv0) {
    std::cerr << "usage: " << argv0
              << " OUTDIR [--count N] [--size WxH] [--quality Q] [--upright]\n"
              << "  writes N sample camera photos (default: the 6 of the demo album,\n"
              << "  2048x1536, quality 92) into OUTDIR; --upright: none held sideways" << std::endl;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return usage(argv[0]);
    std::string dir = argv[1];
    int count = 0, width = 2048, height = 1536, quality = 92;
    bool upright = false;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--count" && i + 1 < argc)
            count = std::atoi(argv[++i]);
        else if (a == "--size" && i + 1 < argc &&
                 std::sscanf(argv[++i], "%dx%d", &width, &height) == 2) {
        } else if (a == "--quality" && i + 1 < argc)
            quality = std::atoi(argv[++i]);
        else if (a == "--upright")
            upright = true;
        else
            return usage(argv[0]);
    }
    if (width < 16 || height < 16 || width > 65000 || height > 65000 || quality < 1 ||
        quality > 100 || count < 0)
        return usage(argv[0]);
    ::mkdir(dir.c_str(), 0755);

    const int shots = (int)(sizeof s_shots / sizeof s_shots[0]);
    int n = count ? count : shots;
    for (int i = 0; i < n; ++i) {
        shot_t shot = s_shots[i % shots];
        if (count) {
            // Series beyond the demo set: every camera and scene in turn.
            char name[32];
            std::snprintf(name, sizeof name, "SAMP%04d.JPG", i + 1);
            shot.file = name;
            shot.scene = i % samplegen::scene_count;
            shot.camera = i % samplegen::camera_count();
        }
        if (upright) shot.orientation = 1;
        if (!write_shot(dir, shot, width, height, quality, 1000u + (unsigned)i)) return 1;
    }
    return 0;
}

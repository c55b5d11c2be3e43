// The cameras the sample photos pretend to come from, and the EXIF block
// each writes: the standard directories plus the maker note of its family.
#pragma once

#include <string>

#include "tools/exifwriter/exifwriter.h"

namespace samplegen {

struct shot_t {
    std::string file;       // e.g. "P5120001.JPG"
    int camera;             // index into the camera table
    int scene;              // e_scene_t
    int orientation;        // EXIF orientation: 1, 3, 6 or 8
    bool thumbnail;         // the camera stores an EXIF thumbnail
    std::string date;       // "2026:05:12 09:41:07"
    unsigned exposure_den;  // exposure time 1/den s
    unsigned fnumber_x10;   // f-number times ten
    unsigned focal_mm;      // focal length
    unsigned focal35_mm;    // 35 mm equivalent
    unsigned iso;
    int bias_thirds;  // exposure bias in thirds of a stop
    bool flash;
};

int camera_count();
const char* camera_make(int camera);
const char* camera_model(int camera);

// The TIFF data of a shot's EXIF block; `thumb` is a small JPEG (may be
// empty), `width`/`height` the stored picture's size.
exifwriter::bytes_t exif_tiff(const shot_t& shot, const exifwriter::bytes_t& thumb, int width,
                              int height);

}  // namespace samplegen

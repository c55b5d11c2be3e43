#include "snapfolio/engine/loaders.h"

#include <sys/stat.h>

#include <iostream>
#include <vector>

#include "libgr/image/imageops.h"
#include "libgr/image/rotate.h"
#include "libgr/image/scaledown.h"
#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libutils/error.h"
#include "libutils/path.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/movie.h"

namespace snapfolio {

namespace {

bool is_jpeg_name(const std::string& file) {
    return libutils::extcasecmp(file, ".jpg") == 0 || libutils::extcasecmp(file, ".jpeg") == 0;
}

// Parses an APP1 payload; the orientation when it parses and has one, else 0.
int orientation_of(const libutils::bytevector& app1_payload, libgr::app1_marker_t& app1) {
    if (app1_payload.empty()) return 0;
    app1.set_app1_buffer(app1_payload);
    if (!app1.parse()) return 0;
    const auto& o = app1.tiff_header.tag_0th.Orientation;
    return o.empty() ? 0 : o[0];
}

// Turns the picture by what the orientation asks (nothing for 0).
bool turn_upright(libgr::image2d_t& image, int orientation, const std::string& file) {
    int count = libgr::mixorientandrightrotatecount(0, orientation);
    if (count == 0) return true;
    libgr::image2d_t turned;
    if (!libgr::rotate(count, turned, image))
        return libutils::fail(std::cerr, file, ": rotate() fail.");
    image = turned;
    return true;
}

int bit_length(unsigned v) {
    int n = 0;
    for (; v; v >>= 1) ++n;
    return n;
}

}  // namespace

bool load_jpeg(libgr::image2d_t& image, const std::string& file) {
    if (!is_jpeg_name(file)) return false;
    libgr::jpegdata_t data;
    if (!data.load(file.c_str()))
        return libutils::fail(std::cerr, file, ": load_jpeg() jpegdata load fail.");
    libgr::jpeginfo_t info;
    if (!info.decompress(image, data))
        return libutils::fail(std::cerr, file, ": load_jpeg() decompress fail.");
    libgr::app1_marker_t app1;
    return turn_upright(image, orientation_of(info.get_marker(libgr::MARKER_APP1), app1), file);
}

bool load_thumbnail(libgr::image2d_t& image, const std::string& file) {
    if (!is_jpeg_name(file)) return false;
    libgr::jpegdata_t data;
    if (!data.load(file.c_str()))
        return libutils::fail(std::cerr, file, ": load_thumbnail() jpegdata load fail.");
    libgr::jpeginfo_t info;
    if (!info.analyze_markers(data))
        return libutils::fail(std::cerr, file, ": load_thumbnail() jpeginfo analyze_markers fail.");
    libutils::bytevector payload = info.get_marker(libgr::MARKER_APP1);
    libgr::app1_marker_t app1;
    bool parsed = false;
    if (!payload.empty()) {
        app1.set_app1_buffer(payload);
        parsed = app1.parse();
    }
    if (!parsed || app1.tiff_header.thumbnail_buffer.empty()) {
        libgr::jpeginfo_t decoded;
        if (!decoded.decompress(image, data))
            return libutils::fail(std::cerr, file,
                                  payload.empty() ? ": thumbnail decompress() fail."
                                                  : ": original decompress() fail.");
        const uint64_t max_w = g_global.shrink_width / 4, max_h = g_global.shrink_height / 4;
        // Stops at one pixel: halving further would leave nothing to show.
        while ((image.width > max_w || image.height > max_h) && image.width > 1 &&
               image.height > 1) {
            libgr::image2d_t half;
            if (!libgr::scaledown(half, image)) return false;
            image = half;
        }
        return true;
    }
    libgr::jpegdata_t thumb;
    thumb.setvector(app1.tiff_header.thumbnail_buffer, file.c_str());
    libgr::jpeginfo_t decoded;
    if (!decoded.decompress(image, thumb))
        return libutils::fail(std::cerr, file, ": thumbnail decompress() fail.");
    const auto& o = app1.tiff_header.tag_0th.Orientation;
    return turn_upright(image, o.empty() ? 0 : o[0], file);
}

bool load_exifthumbnail_or_thumbdir(libgr::image2d_t& image, const path_t& path,
                                    const std::string& name) {
    std::string thumb = path.str("thumb", name);
    if (is_exist(thumb)) return load_jpeg(image, thumb);
    std::string size0 = path.str("size0", name);
    if (is_exist(size0)) return load_thumbnail(image, size0);
    return load_thumbnail(image, path.str("original", name));
}

bool load_size_jpeg(libgr::image2d_t& image, const path_t& path, const std::string& level_name,
                    const std::string& name) {
    return load_jpeg(image, path.str(level_name, name));
}

bool load_scaled_thumbnail(libgr::image2d_t& image, const path_t& path, const std::string& name,
                           int scale) {
    uint64_t level = getshrinklevel(path, name);
    std::vector<std::string> names = levelnames(level);
    uint64_t t = g_global.show_level + uint64_t(bit_length(scale > 0 ? unsigned(scale) : 0));
    uint64_t index = level + 3 >= t ? level + 3 - t : 0;
    // t = 0 (show_level 0 and no scale) would point past the thumbnail.
    if (index > level + 2) index = level + 2;
    if (!load_size_jpeg(image, path, names[index], name) &&
        !load_exifthumbnail_or_thumbdir(image, path, name))
        return false;
    if (image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE) {
        libgr::image2d_t rgb;
        if (!libgr::grayscale2rgb(rgb, image)) return false;
        image = rgb;
    }
    return true;
}

bool load_scaled_ffthumbnail(libgr::image2d_t& image, const path_t& path, const std::string& name,
                             int scale, std::string& info) {
    libgr::direction2ul_t size;
    uint64_t level = getffshrinklevel(path, "original", name, size, info);
    std::vector<std::string> names = movielevelnames(level);
    names.push_back("thumb");
    uint64_t t = g_global.show_level + uint64_t(bit_length(scale > 0 ? unsigned(scale) : 0));
    uint64_t index = level + 3 >= t ? level + 3 - t : 0;
    // Movies have no "thumb" level: the smallest still stands in for it.
    if (index > level + 1) index = level + 1;
    return load_size_jpeg(image, path, names[index], replace_extension(name, ".jpg"));
}

}  // namespace snapfolio

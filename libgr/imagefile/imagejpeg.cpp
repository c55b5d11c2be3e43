#include "libgr/imagefile/imagejpeg.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "libgr/image/rotate.h"
#include "libgr/jpeg/exif.h"
#include "libutils/error.h"

namespace libgr {

namespace {

// The EXIF orientation value, or 0 when the file has none.
int exif_orientation(const jpeginfo_t& info) {
    libutils::bytevector app1 = info.get_marker(MARKER_APP1);
    if (app1.empty()) return 0;
    app1_marker_t exif;
    exif.set_app1_buffer(app1);
    // A maker note that does not parse still leaves the standard fields read.
    exif.parse();
    const auto& orientation = exif.tiff_header.tag_0th.Orientation;
    return orientation.empty() ? 0 : orientation[0];
}

}  // namespace

bool image_jpeg1_t::load(image2d_t& image, const char* path) {
    m_rightrotatecount = 0;
    m_path = path;
    image.clear();
    if (!m_data.load(m_path.c_str()))
        return libutils::fail(std::cerr, path, ": file open error, ", std::strerror(errno));
    bool ok = m_info.decompress(image, m_data);
    // The mapping is not needed once decoded: drop it so that a large file
    // does not stay mapped beside its picture.
    m_data.clear();
    if (!ok) return false;
    m_rightrotatecount = uint64_t(mixorientandrightrotatecount(0, exif_orientation(m_info)));
    return true;
}

bool image_jpeg1_t::save(const image2d_t& image, const char* path) {
    m_path = path;
    jpegdata_t out;
    out.name = m_path.c_str();
    return m_info.compress(out, image, 95, true) && out.save(m_path.c_str());
}

}  // namespace libgr

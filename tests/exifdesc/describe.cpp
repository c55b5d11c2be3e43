#include "describe.h"

#include <gtest/gtest.h>

#include <sstream>

#include "exif/exiftest.h"
#include "libgr/jpeg/exif.h"
#include "snapfolio/engine/exifdesc.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

namespace exifdesctest {

std::string tiff_of(const block_t& b) {
    ew::tiff_t t;
    t.order = b.order;
    ew::ifd_t exif;
    for (const ew::entry_t& e : b.exif) exif.add(e);
    if (b.note) exif.add(ew::makernote(*b.note));
    if (!b.make.empty()) t.ifd0.add(ew::ascii(0x010F, b.make));
    if (!b.model.empty()) t.ifd0.add(ew::ascii(0x0110, b.model));
    t.ifd0.add(ew::subdirectory(0x8769, std::move(exif)));
    return ew::write_tiff(t);
}

bool parse_block(libgr::app1_marker_t& app1, const block_t& b) {
    app1.set_app1_buffer(exiftest::buffer_of(ew::exif_payload(tiff_of(b))));
    return app1.parse();
}

std::string describe(const block_t& b, bool br) {
    libgr::app1_marker_t app1;
    EXPECT_TRUE(parse_block(app1, b));
    std::ostringstream out;
    snapfolio::writeexif(out, app1.tiff_header, br);
    return out.str();
}

std::string line(const std::string& text, size_t i) {
    std::istringstream in(text);
    std::string l;
    for (size_t k = 0; std::getline(in, l); ++k)
        if (k == i) return l;
    return std::string();
}

std::string from_line(const std::string& text, size_t i) {
    size_t pos = 0;
    for (size_t k = 0; k < i && pos != std::string::npos; ++k) {
        pos = text.find('\n', pos);
        if (pos != std::string::npos) ++pos;
    }
    return pos == std::string::npos ? std::string() : text.substr(pos);
}

std::string write_photo(const std::string& tiff, const std::string& name) {
    jpegfixture::options_t o;
    o.width = 16;
    o.height = 16;
    const std::vector<unsigned char> pixels = jpegfixture::make_jpeg(o);
    std::string jpeg(pixels.begin(), pixels.end());
    if (!tiff.empty()) jpeg = ew::splice_app1(jpeg, ew::exif_payload(tiff));
    const std::string path = testenv::scratch_dir("photo") + "/" + name;
    EXPECT_TRUE(testenv::write_file(path, jpeg));
    return path;
}

}  // namespace exifdesctest

#include "snapfolio/gui/pixbuf.h"

#include <cstring>

#include "libgr/image/imageops.h"

namespace snapfolio {

Glib::RefPtr<Gdk::Pixbuf> convert_to_pixbuf(const libgr::image2d_t& image) {
    libgr::image2d_t grey_done, rgb;
    if (!libgr::grayscale2rgb(grey_done, image) || !libgr::rgba2rgb(rgb, grey_done))
        return Glib::RefPtr<Gdk::Pixbuf>();
    const libgr::image_desc_t want(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT,
                                   libgr::IMAGE_BITS_8);
    if (rgb.desc != want || rgb.width == 0 || rgb.height == 0 || rgb.compressed ||
        !libgr::imageops_detail::has_pixels(rgb))
        return Glib::RefPtr<Gdk::Pixbuf>();

    // Copying row by row flips the picture into GDK's top-down order and
    // leaves the pixbuf owning its pixels.
    auto pixbuf = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, (int)rgb.width,
                                      (int)rgb.height);
    if (!pixbuf) return pixbuf;
    const size_t row_bytes = size_t(rgb.width) * 3;
    guint8* out = pixbuf->get_pixels();
    const int stride = pixbuf->get_rowstride();
    for (uint32_t y = 0; y < rgb.height; ++y)
        std::memcpy(out + size_t(y) * stride, rgb[rgb.height - 1 - y], row_bytes);
    return pixbuf;
}

}  // namespace snapfolio

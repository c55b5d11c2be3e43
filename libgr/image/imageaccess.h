// Typed row access to a picture: rows of `width` pixels padded to 4 bytes,
// counted from the start of the buffer (the picture's window and store are
// not consulted). The reader only reads; the editor writes.
#pragma once

#include "libgr/image/color.h"
#include "libgr/image/image.h"

namespace libgr {

template <class T>
class image2d_access_base_t {
  protected:
    libutils::bytevector m_buffer;

  public:
    uint32_t width = 0;
    uint32_t height = 0;
    image_desc_t desc;

    // Shares the picture's pixels; refuses a compressed picture.
    bool setimage(const image2d_t& image) {
        if (image.compressed) {
            clear();
            return false;
        }
        m_buffer = image;
        width = image.width;
        height = image.height;
        desc = image.desc;
        return true;
    }
    uint64_t scanline() const {
        return ((uint64_t(width) * desc.getPixelBits() + 7) / 8 + 3) / 4 * 4;
    }
    void clear() {
        m_buffer.clear();
        width = height = 0;
    }
};

template <class T>
class image2d_reader_t : public image2d_access_base_t<T> {
  public:
    const T* operator[](uint64_t y) const {
        return reinterpret_cast<const T*>(this->m_buffer.begin() + y * this->scanline());
    }
};

template <class T>
class image2d_editor_t : public image2d_access_base_t<T> {
  public:
    T* operator[](uint64_t y) {
        return reinterpret_cast<T*>(this->m_buffer.begin() + y * this->scanline());
    }
};

using image2d_byte_reader_t = image2d_reader_t<unsigned char>;
using image2d_byte_editor_t = image2d_editor_t<unsigned char>;

}  // namespace libgr

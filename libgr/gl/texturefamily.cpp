#include "libgr/gl/texturefamily.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <iostream>

#include "libgr/gl/glsupport.h"
#include "libgr/gl/grerror.h"
#include "libutils/error.h"

namespace libgr {

namespace {

template <class Image>
GLenum internal_format_of(const std::vector<Image>& images, bool compression) {
    gl_loading_format_t f;
    if (images.empty() || !grConvertImageFormatToGlFormat(f, images[0].desc, compression, false))
        return GR_NO_NAME;
    return f.internalformat;
}

// The padded side of a fixed-size level (at least 1).
GLsizei padded(uint32_t fixed, GLint level) {
    return GLsizei(std::max<uint32_t>(1, grPowerOfTwo(fixed) >> level));
}

// Leaves the unpack state as GL's defaults for later uploads by others.
void reset_unpack() {
    grPixelStoreUnpack(nullptr);
    grPixelStoreUnpack(image_window3d_t());
}

void upload_1d(GLint level, const image1d_t& image, const gl_loading_format_t& f, uint32_t fixed,
               bool border, bool sub) {
    grPixelStoreUnpack(image.store);
    grPixelStoreUnpack(image.window);
    const GLint b = border ? 1 : 0;
    const GLsizei w = GLsizei(image.width);
    if (!fixed && !sub) {
        glTexImage1D(GL_TEXTURE_1D, level, GLint(f.internalformat), w + 2 * b, b, f.format, f.type,
                     image.begin());
        return;
    }
    if (!sub)
        glTexImage1D(GL_TEXTURE_1D, level, GLint(f.internalformat), padded(fixed, level), 0,
                     f.format, f.type, nullptr);
    glTexSubImage1D(GL_TEXTURE_1D, level, 0, w, f.format, f.type, image.begin());
}

void upload_3d(GLint level, const image3d_t& image, const gl_loading_format_t& f, uint32_t fixed,
               bool border, bool sub) {
    grPixelStoreUnpack(image.store);
    grPixelStoreUnpack(image.window);
    const GLint b = border ? 1 : 0;
    const GLsizei w = GLsizei(image.width), h = GLsizei(image.height), d = GLsizei(image.depth);
    if (!fixed && !sub) {
        glTexImage3D(GL_TEXTURE_3D, level, GLint(f.internalformat), w + 2 * b, h + 2 * b, d + 2 * b,
                     b, f.format, f.type, image.begin());
        return;
    }
    if (!sub) {
        GLsizei p = padded(fixed, level);
        glTexImage3D(GL_TEXTURE_3D, level, GLint(f.internalformat), p, p, p, 0, f.format, f.type,
                     nullptr);
    }
    glTexSubImage3D(GL_TEXTURE_3D, level, 0, 0, 0, w, h, d, f.format, f.type, image.begin());
}

}  // namespace

// --- 1-D ----------------------------------------------------------------------------

void grTexture1D::setImage(const image1d_t& image, uint32_t fixed_size, size_t level) {
    if (m_images.size() <= level) m_images.resize(level + 1);
    m_images[level] = image;
    m_fixed_size = fixed_size ? std::max(fixed_size, image.width) : 0;
}

void grTexture1D::setImages(const std::vector<image1d_t>& images, uint32_t fixed_size) {
    m_images = images;
    m_fixed_size = fixed_size;
    if (fixed_size)
        for (const auto& i : images) m_fixed_size = std::max(m_fixed_size, i.width);
}

GLenum grTexture1D::GetInternalFormat() const {
    return internal_format_of(m_images, m_compression);
}

bool grTexture1D::upload(bool sub) const {
    if (m_images.empty()) return true;
    gl_loading_format_t f;
    if (!grConvertImageFormatToGlFormat(f, m_images[0].desc, m_compression)) return false;
    // Only level 0 is given: GL (or GLU below GL 3.0) makes the others.
    const bool generate = m_mipmap && m_images.size() == 1;
    if (generate && !g_glsupport.GenerateMipmap && !sub) {
        const image1d_t& i = m_images[0];
        grPixelStoreUnpack(i.store);
        grPixelStoreUnpack(i.window);
        gluBuild1DMipmaps(GL_TEXTURE_1D, GLint(f.internalformat), GLsizei(i.width), f.format,
                          f.type, i.begin());
    } else {
        for (size_t i = 0; i < m_images.size(); ++i)
            upload_1d(GLint(i), m_images[i], f, m_fixed_size, m_border && i == 0, sub);
        if (generate) g_glsupport.GenerateMipmap(GL_TEXTURE_1D);
    }
    grPrintError("after-teximage1d");
    reset_unpack();
    if (m_params) grTexParameter(GL_TEXTURE_1D, *m_params);
    return true;
}

// --- rectangle --------------------------------------------------------------------------

GLenum grTextureRectangle::GetInternalFormat() const {
    gl_loading_format_t f;
    if (m_image.empty() || !grConvertImageFormatToGlFormat(f, m_image.desc, false, false))
        return GR_NO_NAME;
    return f.internalformat;
}

bool grTextureRectangle::upload(bool sub) const {
    if (m_image.empty()) return true;
    gl_loading_format_t f;
    if (!grConvertImageFormatToGlFormat(f, m_image.desc, false)) return false;
    grPixelStoreUnpack(m_image.store);
    grPixelStoreUnpack(m_image.window);
    const GLsizei w = GLsizei(m_image.width), h = GLsizei(m_image.height);
    if (sub)
        glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, w, h, f.format, f.type, m_image.begin());
    else
        glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GLint(f.internalformat), w, h, 0, f.format, f.type,
                     m_image.begin());
    grPrintError("after-teximage-rectangle");
    reset_unpack();
    if (m_params) grTexParameter(GL_TEXTURE_RECTANGLE, *m_params);
    return true;
}

// --- 3-D ------------------------------------------------------------------------------

void grTexture3D::setImage(const image3d_t& image, uint32_t fixed_size, size_t level) {
    if (m_images.size() <= level) m_images.resize(level + 1);
    m_images[level] = image;
    m_fixed_size = fixed_size ? std::max({fixed_size, image.width, image.height, image.depth}) : 0;
}

void grTexture3D::setImages(const std::vector<image3d_t>& images, uint32_t fixed_size) {
    m_images = images;
    m_fixed_size = fixed_size;
    if (fixed_size)
        for (const auto& i : images)
            m_fixed_size = std::max({m_fixed_size, i.width, i.height, i.depth});
}

GLenum grTexture3D::GetInternalFormat() const {
    return internal_format_of(m_images, m_compression);
}

bool grTexture3D::upload(bool sub) const {
    if (m_images.empty()) return true;
    const image3d_t& first = m_images[0];
    gl_loading_format_t f;
    if (!grConvertImageFormatToGlFormat(f, first.desc, m_compression)) return false;
    if (first.compressed) {
        // Compressed volumes are not uploaded by this layer.
        if (m_mipmap)
            libutils::report(std::cerr,
                             "Compressed image are can't build mipmaps in this environment.");
        libutils::report(std::cerr,
                         "error, ARB_texture_compression unsupported when "
                         "compressed image loading, skip.");
        return false;
    }
    const bool generate = m_mipmap && m_images.size() == 1;
    if (generate && !g_glsupport.GenerateMipmap && !sub) {
        grPixelStoreUnpack(first.store);
        grPixelStoreUnpack(first.window);
        gluBuild3DMipmaps(GL_TEXTURE_3D, GLint(f.internalformat), GLsizei(first.width),
                          GLsizei(first.height), GLsizei(first.depth), f.format, f.type,
                          first.begin());
    } else {
        for (size_t i = 0; i < m_images.size(); ++i)
            upload_3d(GLint(i), m_images[i], f, m_fixed_size, m_border && i == 0, sub);
        if (generate) g_glsupport.GenerateMipmap(GL_TEXTURE_3D);
    }
    grPrintError("after-teximage3d");
    reset_unpack();
    if (m_params) grTexParameter(GL_TEXTURE_3D, *m_params);
    return true;
}

}  // namespace libgr

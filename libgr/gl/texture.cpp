#include "libgr/gl/texture.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <initializer_list>
#include <iostream>

#include "libgr/gl/glsupport.h"
#include "libgr/gl/grerror.h"
#include "libgr/gl/mipmap.h"
#include "libutils/error.h"

namespace libgr {

namespace {

const GLenum s_cube_faces[6] = {
    GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
    GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
    GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z,
};

// The internal formats that GL_SGIS_generate_mipmap handles here.
bool sgis_can_build(GLenum internalformat) {
    switch (internalformat) {
        case GL_RGB: case GL_RGBA: case GL_BGR: case GL_BGRA: case GL_RGB5: case GL_RGB8:
        case GL_RGBA8:
            return true;
        default:
            return false;
    }
}

// Uploads one picture as `level` of `target` (a 2-D target or a cube face).
// A fixed size allocates the power-of-two square first and copies the picture
// into its lower-left corner; `sub` copies into the existing storage instead.
void upload_level(GLenum target, GLint level, const image2d_t& image,
                  const gl_loading_format_t& f, uint32_t fixed, bool border, bool sub) {
    grPixelStoreUnpack(image.store);
    grPixelStoreUnpack(image.window);
    GLint b = border ? 1 : 0;
    const void* pixels = image.begin();
    if (image.compressed) {
        if (!g_glsupport.ARB_texture_compression || !g_glsupport.CompressedTexImage2DARB) {
            libutils::report(std::cerr, "error, ARB_texture_compression unsupported when "
                                        "compressed image loading, skip.");
            return;
        }
        if (sub && g_glsupport.CompressedTexSubImage2DARB)
            g_glsupport.CompressedTexSubImage2DARB(target, level, 0, 0, GLsizei(image.width),
                                                   GLsizei(image.height), f.internalformat,
                                                   GLsizei(image.size()), pixels);
        else
            g_glsupport.CompressedTexImage2DARB(target, level, f.internalformat,
                                                GLsizei(image.width), GLsizei(image.height), b,
                                                GLsizei(image.size()), pixels);
        return;
    }
    if (fixed == 0) {
        if (sub)
            glTexSubImage2D(target, level, 0, 0, GLsizei(image.width), GLsizei(image.height),
                            f.format, f.type, pixels);
        else
            glTexImage2D(target, level, GLint(f.internalformat), GLsizei(image.width) + 2 * b,
                         GLsizei(image.height) + 2 * b, b, f.format, f.type, pixels);
        return;
    }
    if (!sub) {
        uint32_t side = border ? grPowerOfTwo(fixed > 2 ? fixed - 2 : 1) + 2 : grPowerOfTwo(fixed);
        side = std::max<uint32_t>(1, side >> level);
        glTexImage2D(target, level, GLint(f.internalformat), GLsizei(side), GLsizei(side), b,
                     f.format, f.type, nullptr);
    }
    if (grPrintError("before-tex-sub-image2d"))
        std::cerr << "internalformat: " << f.internalformat << std::endl
                  << "m_border: " << border << std::endl
                  << "format: " << f.format << std::endl
                  << "type: " << f.type << std::endl;
    glTexSubImage2D(target, level, 0, 0, GLsizei(image.width), GLsizei(image.height), f.format,
                    f.type, pixels);
}

// Loads an indexed picture's palette into GL's colour maps.
void load_palette(const image2d_t& image) {
    uint64_t n = image.palette.size();
    if (n == 0) return;
    std::vector<GLushort> r(n), g(n), b(n);
    for (uint64_t i = 0; i < n; ++i)
        r[i] = *image.palette.red[i], g[i] = *image.palette.green[i], b[i] = *image.palette.blue[i];
    glPixelMapusv(GL_PIXEL_MAP_I_TO_R, GLsizei(n), r.data());
    glPixelMapusv(GL_PIXEL_MAP_I_TO_G, GLsizei(n), g.data());
    glPixelMapusv(GL_PIXEL_MAP_I_TO_B, GLsizei(n), b.data());
    glPixelTransferi(GL_MAP_COLOR, GL_TRUE);
}

// Level 0 and every smaller level of a power-of-two texture, the smaller
// ones halved here (see mipmap.h for why); false, with nothing uploaded, for
// a layout mipmap_halve does not take.
bool upload_own_mipmaps(GLenum target, const image2d_t& image, const gl_loading_format_t& f,
                        uint32_t fixed, bool border, bool sub) {
    if (!fixed || border || !mipmap_halvable(image)) return false;
    const uint32_t side0 = grPowerOfTwo(fixed);
    if (!sub && g_glsupport.TexStorage2D) {
        // All levels in one allocation: specifying them one by one makes
        // Mesa gather them into a new allocation at the first draw.
        GLsizei count = 1;
        for (uint32_t s = side0; s > 1; s >>= 1) ++count;
        grPrintError("before-tex-storage2d");  // so that the check below is this call's
        g_glsupport.TexStorage2D(target, count, f.internalformat, GLsizei(side0), GLsizei(side0));
        // A format storage does not take leaves the mutable way below.
        sub = glGetError() == GL_NO_ERROR;
    }
    upload_level(target, 0, image, f, fixed, false, sub);
    image2d_t levels[2];
    const image2d_t* from = &image;
    GLint level = 0;
    for (uint32_t side = side0; side > 1; side >>= 1) {
        image2d_t& next = levels[++level % 2];
        if (!mipmap_halve(next, *from)) {
            // Without memory for a level, GL completes the chain itself.
            if (g_glsupport.GenerateMipmap) g_glsupport.GenerateMipmap(target);
            break;
        }
        upload_level(target, level, next, f, fixed, false, sub);
        from = &next;
    }
    return true;
}

// Level 0 with mipmaps, by the best way the implementation offers.
void upload_with_mipmaps(GLenum target, const image2d_t& image, const gl_loading_format_t& f,
                         uint32_t fixed, bool border, bool sub) {
    if (upload_own_mipmaps(target, image, f, fixed, border, sub)) {
    } else if (g_glsupport.version_at_least(3, 0) && g_glsupport.GenerateMipmap) {
        upload_level(target, 0, image, f, fixed, border, sub);
        g_glsupport.GenerateMipmap(target);
    } else if (g_glsupport.SGIS_generate_mipmap && sgis_can_build(f.internalformat)) {
        glTexParameteri(target, GL_GENERATE_MIPMAP_SGIS, GL_TRUE);
        upload_level(target, 0, image, f, fixed, border, sub);
        glTexParameteri(target, GL_GENERATE_MIPMAP_SGIS, GL_FALSE);
    } else if (image.compressed) {
        libutils::report(std::cerr,
                         "Compressed 'special format' image is ablen't to build mipmaps, fallback.");
        upload_level(target, 0, image, f, fixed, border, sub);
    } else {
        grPixelStoreUnpack(image.store);
        grPixelStoreUnpack(image.window);
        gluBuild2DMipmaps(target, GLint(f.internalformat), GLsizei(image.width),
                          GLsizei(image.height), f.format, f.type, image.begin());
    }
}

// Leaves the unpack state as GL's defaults, so later uploads by others are
// not skewed by a tile's window.
void reset_unpack() {
    grPixelStoreUnpack(nullptr);
    grPixelStoreUnpack(image_window2d_t());
}

}  // namespace

uint32_t grPowerOfTwo(uint32_t n) {
    uint32_t p = 1;
    while (p < n && p < 0x80000000u) p <<= 1;
    return p;
}

texparameter2d_t texparameter2d(GLenum min, GLenum mag, GLenum wrap_s, GLenum wrap_t,
                                float anisotropy) {
    return texparameter2d_t{min, mag, wrap_s, wrap_t, anisotropy};
}

texparametercubemap_t texparametercubemap(GLenum min, GLenum mag, GLenum wrap_s, GLenum wrap_t,
                                          GLenum wrap_r, float anisotropy) {
    return texparametercubemap_t{min, mag, wrap_s, wrap_t, wrap_r, anisotropy};
}

texparameter1d_t texparameter1d(GLenum min, GLenum mag, GLenum wrap_s, float anisotropy) {
    return texparameter1d_t{min, mag, wrap_s, anisotropy};
}

texparameter3d_t texparameter3d(GLenum min, GLenum mag, GLenum wrap_s, GLenum wrap_t,
                                GLenum wrap_r, float anisotropy) {
    return texparameter3d_t{min, mag, wrap_s, wrap_t, wrap_r, anisotropy};
}

namespace {

// The filters, the wraps of the texture's dimensions (s, t, r in turn) and
// the anisotropy where the driver offers it.
void set_texparameters(GLenum target, GLenum min, GLenum mag,
                       std::initializer_list<GLenum> wraps, float anisotropy) {
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GLint(min));
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GLint(mag));
    const GLenum names[] = {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R};
    size_t n = 0;
    for (GLenum wrap : wraps) glTexParameteri(target, names[n++], GLint(wrap));
    if (g_glsupport.EXT_texture_filter_anisotropic)
        glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
}

}  // namespace

void grTexParameter(GLenum target, const texparameter1d_t& p) {
    set_texparameters(target, p.min_filter, p.mag_filter, {p.wrap_s}, p.anisotropy);
}

void grTexParameter(GLenum target, const texparameter3d_t& p) {
    set_texparameters(target, p.min_filter, p.mag_filter, {p.wrap_s, p.wrap_t, p.wrap_r},
                      p.anisotropy);
}

void grTexParameter(GLenum target, const texparameter2d_t& p) {
    set_texparameters(target, p.min_filter, p.mag_filter, {p.wrap_s, p.wrap_t}, p.anisotropy);
}

void grTexParameter(const texparametercubemap_t& p) {
    set_texparameters(GL_TEXTURE_CUBE_MAP, p.min_filter, p.mag_filter,
                      {p.wrap_s, p.wrap_t, p.wrap_r}, p.anisotropy);
}

void grTexParameter(GLenum target, const color3aub_t& c) {
    GLfloat v[4] = {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f};
    glTexParameterfv(target, GL_TEXTURE_BORDER_COLOR, v);
}

// --- 2-D sources ---------------------------------------------------------------

void grTexture2D::setImage(const image2d_t& image, uint32_t fixed_size, size_t level) {
    if (m_images.size() <= level) m_images.resize(level + 1);
    m_images[level] = image;
    m_fixed_size = fixed_size ? std::max({fixed_size, image.width, image.height}) : 0;
}

void grTexture2D::setImages(const std::vector<image2d_t>& images, uint32_t fixed_size) {
    m_images = images;
    m_fixed_size = 0;
    if (fixed_size) {
        m_fixed_size = fixed_size;
        for (const auto& i : images) m_fixed_size = std::max({m_fixed_size, i.width, i.height});
    }
}

GLenum grTexture2D::GetInternalFormat() const {
    gl_loading_format_t f;
    if (m_images.empty() || !grConvertImageFormatToGlFormat(f, m_images[0].desc, m_compression,
                                                            false))
        return GR_NO_NAME;
    return f.internalformat;
}

bool grTexture2D::upload(bool sub) const {
    if (m_images.empty()) return true;
    const GLenum target = GL_TEXTURE_2D;
    const image2d_t& first = m_images[0];
    gl_loading_format_t f;
    if (!grConvertImageFormatToGlFormat(f, first.desc, m_compression)) return false;
    if (first.desc.format == IMAGE_FORMAT_INDEX) load_palette(first);
    if (m_mipmap) {
        upload_with_mipmaps(target, first, f, m_fixed_size, m_border, sub);
        for (size_t i = 1; i < m_images.size(); ++i)
            upload_level(target, GLint(i), m_images[i], f, m_fixed_size, false, sub);
    } else {
        for (size_t i = 0; i < m_images.size(); ++i) {
            gl_loading_format_t fi;
            if (!grConvertImageFormatToGlFormat(fi, m_images[i].desc, m_compression)) continue;
            grPrintError("before-teximage2d(not-mipmap)");
            upload_level(target, GLint(i), m_images[i], fi, m_fixed_size, m_border && i == 0, sub);
            grPrintError("after-teximage2d(not-mipmap)");
        }
    }
    if (first.desc.format == IMAGE_FORMAT_INDEX) glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    reset_unpack();
    if (m_params) grTexParameter(target, *m_params);
    if (m_border && m_border_color) grTexParameter(target, *m_border_color);
    return true;
}

// --- cube maps -------------------------------------------------------------------

void grTextureCubeMap::setImage(const image2d_t* six, uint32_t fixed_size, size_t level) {
    if (m_images.size() < (level + 1) * 6) m_images.resize((level + 1) * 6);
    uint32_t f = fixed_size;
    for (int i = 0; i < 6; ++i) {
        m_images[level * 6 + i] = six[i];
        f = std::max({f, six[i].width, six[i].height});
    }
    m_fixed_size = fixed_size ? f : 0;
}

GLenum grTextureCubeMap::GetInternalFormat() const {
    gl_loading_format_t f;
    if (m_images.empty() || !grConvertImageFormatToGlFormat(f, m_images[0].desc, m_compression,
                                                            false))
        return GR_NO_NAME;
    return f.internalformat;
}

bool grTextureCubeMap::Load() const {
    if (m_images.empty()) return true;
    gl_loading_format_t f;
    if (!grConvertImageFormatToGlFormat(f, m_images[0].desc, m_compression)) return false;
    bool generate = m_mipmap && g_glsupport.version_at_least(3, 0) && g_glsupport.GenerateMipmap;
    bool sgis = m_mipmap && !generate && g_glsupport.SGIS_generate_mipmap;
    if (sgis) {
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_GENERATE_MIPMAP_SGIS, GL_TRUE);
        grPrintError("after-texparameter_cubemap-sgis-true");
    }
    for (size_t i = 0; i < m_images.size(); ++i)
        upload_level(s_cube_faces[i % 6], GLint(i / 6), m_images[i], f, m_fixed_size,
                     m_border && i < 6, false);
    grPrintError("after-unpack_window_subset");
    if (sgis) {
        grPrintError("before-texparameter_cubemap-sgis-false");
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_GENERATE_MIPMAP_SGIS, GL_FALSE);
        grPrintError("after-texparameter_cubemap-sgis-false");
    }
    if (generate) {
        grPrintError("before-generate_mipmap");
        g_glsupport.GenerateMipmap(GL_TEXTURE_CUBE_MAP);
        grPrintError("after-generate_mipmap");
    }
    reset_unpack();
    if (m_params) grTexParameter(*m_params);
    return true;
}

// --- texture objects ---------------------------------------------------------------

bool grTextureMgr::Generate() {
    if (m_generated) return true;
    glGenTextures(1, &m_name);
    m_generated = true;
    return true;
}

void grTextureMgr::Release() {
    if (m_generated) glDeleteTextures(1, &m_name);
    m_generated = false;
}

bool grTextureObject::Preload(const grTexturableImageGL* source) {
    if (!source) return false;
    if (!m_mgr && !m_mgr.newobject()) return false;
    m_target = source->Target();
    m_mgr->Generate();
    glBindTexture(m_target, m_mgr->texid());
    bool ok = source->Load();
    m_source = source;
    m_preloaded = true;
    return ok;
}

bool grTextureObject::Load() const {
    if (!m_mgr) return false;
    grPrintError("grTextureObject::Load(0)");
    if (!g_glsupport.version_at_least(3, 0)) {
        glEnable(m_target);
        grPrintError("grTextureObject::Load(1)");
    }
    glBindTexture(m_target, m_mgr->texid());
    grPrintError("grTextureObject::Load(2)");
    return true;
}

void grTextureObject::Unload() const {
    if (!m_mgr) return;
    if (!g_glsupport.version_at_least(3, 0)) glDisable(m_target);
    glBindTexture(m_target, 0);
}

bool grTextureObject::Reload() const {
    if (!m_preloaded || !m_source) return false;
    glBindTexture(m_target, m_mgr->texid());
    return m_source->Reload();
}

void grTextureObject::clear() {
    if (!m_preloaded) return;
    m_mgr.relobject();
    m_target = GR_NO_NAME;
    m_preloaded = false;
    m_source = nullptr;
}

bool grTextureObject::isResident() const {
    if (!m_mgr) return false;
    GLuint name = m_mgr->texid();
    GLboolean resident = GL_FALSE;
    return glAreTexturesResident(1, &name, &resident) == GL_TRUE || resident == GL_TRUE;
}

bool grTextureObject::BindImage(GLuint unit, GLint level, GLenum access) const {
    if (!m_preloaded || !m_source || !g_glsupport.BindImageTexture) return false;
    g_glsupport.BindImageTexture(unit, texid(), level, GL_FALSE, 0, access,
                                 m_source->GetInternalFormat());
    return true;
}

void grTextureObject::UnbindImage(GLuint unit) const {
    if (g_glsupport.BindImageTexture)
        g_glsupport.BindImageTexture(unit, 0, 0, GL_FALSE, 0, GL_READ_ONLY, GL_R8);
}

bool grTextureObject::GetTexImage(GLenum target, GLint level, image2d_t& image) const {
    if (!m_preloaded || m_target == GL_TEXTURE_3D) return false;
    glBindTexture(m_target, m_mgr->texid());
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &h);
    image.clear();
    image.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    image.window = image_window2d_t();
    image.width = uint32_t(std::max(w, 0));
    image.height = uint32_t(std::max(h, 0));
    if (!image.allocate()) return false;
    grPixelStorePack(image.store);
    grPixelStorePack(image.window);
    glGetTexImage(target, level, GL_RGB, GL_UNSIGNED_BYTE, image.begin());
    return true;
}

}  // namespace libgr

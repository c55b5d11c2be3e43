// Textures in two halves. A texturable image (grTexture2D, grTextureCubeMap)
// holds the source pictures (one per mipmap level; six per level for a cube
// map), the mipmap and compression choices and the texture parameters, and
// uploads itself into whatever texture is bound. A texture object
// (grTextureObject) owns the GL name, binds it, asks its image to upload,
// and binds it for drawing; copies share one name, deleted with the last.
//
// With a fixed size F, level 0 is allocated as a square of the smallest power
// of two >= F and the picture copied into its lower-left corner, so pictures
// of any size become power-of-two textures without scaling. Windows onto a
// larger picture upload straight from its buffer through the unpack state.
// Messages: unsupported formats as in glformat.h; GL errors through
// grPrintError with the step texts in texture.cpp.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "libgr/gl/glformat.h"
#include "libgr/gl/nodes.h"
#include "libgr/image/color.h"
#include "libgr/image/image.h"
#include "libutils/refvector.h"

namespace libgr {

struct texparameter2d_t {
    GLenum min_filter = GL_LINEAR_MIPMAP_LINEAR;
    GLenum mag_filter = GL_LINEAR;
    GLenum wrap_s = GL_CLAMP_TO_EDGE;
    GLenum wrap_t = GL_CLAMP_TO_EDGE;
    float anisotropy = 1.0f;
};
texparameter2d_t texparameter2d(GLenum min, GLenum mag, GLenum wrap_s, GLenum wrap_t,
                                float anisotropy);

struct texparametercubemap_t {
    GLenum min_filter = GL_LINEAR;
    GLenum mag_filter = GL_LINEAR;
    GLenum wrap_s = GL_CLAMP_TO_EDGE;
    GLenum wrap_t = GL_CLAMP_TO_EDGE;
    GLenum wrap_r = GL_CLAMP_TO_EDGE;
    float anisotropy = 1.0f;
};
texparametercubemap_t texparametercubemap(GLenum min, GLenum mag, GLenum wrap_s, GLenum wrap_t,
                                          GLenum wrap_r, float anisotropy);

struct texparameter1d_t {
    GLenum min_filter = GL_LINEAR_MIPMAP_LINEAR;
    GLenum mag_filter = GL_LINEAR;
    GLenum wrap_s = GL_CLAMP_TO_EDGE;
    float anisotropy = 1.0f;
};
texparameter1d_t texparameter1d(GLenum min, GLenum mag, GLenum wrap_s, float anisotropy);

struct texparameter3d_t {
    GLenum min_filter = GL_LINEAR_MIPMAP_LINEAR;
    GLenum mag_filter = GL_LINEAR;
    GLenum wrap_s = GL_CLAMP_TO_EDGE;
    GLenum wrap_t = GL_CLAMP_TO_EDGE;
    GLenum wrap_r = GL_CLAMP_TO_EDGE;
    float anisotropy = 1.0f;
};
texparameter3d_t texparameter3d(GLenum min, GLenum mag, GLenum wrap_s, GLenum wrap_t,
                                GLenum wrap_r, float anisotropy);

// Applies the record to the texture bound to `target`.
void grTexParameter(GLenum target, const texparameter1d_t& p);
void grTexParameter(GLenum target, const texparameter3d_t& p);
void grTexParameter(GLenum target, const texparameter2d_t& p);
void grTexParameter(const texparametercubemap_t& p);
void grTexParameter(GLenum target, const color3aub_t& border);

class grTexturable {
  public:
    virtual int Dimension() const = 0;
    virtual bool Load() const = 0;
    virtual bool Reload() const { return Load(); }
    virtual ~grTexturable() = default;
};

class grTexturableImage : public grTexturable {};

class grTexturableImageGL : public grTexturableImage {
  public:
    // Internal format of level 0; GR_NO_NAME when empty or unsupported.
    virtual GLenum GetInternalFormat() const = 0;
    // The target a texture object binds this source to: by default the one
    // its dimension names (the rectangle, 2-D too, has its own).
    virtual GLenum Target() const { return grTextureDimToEnum(Dimension()); }
};

// Settings every image source shares.
class grTextureSource : public grTexturableImageGL {
  protected:
    uint32_t m_fixed_size = 0;
    bool m_compression = false;
    bool m_mipmap = false;
    bool m_border = false;
    const color3aub_t* m_border_color = nullptr;

  public:
    void setInternalCompression(bool on) { m_compression = on; }
    void setBuildMipmap(bool on) { m_mipmap = on; }
    void setBorder(bool on) { m_border = on; }
    void setBorderColor(const color3aub_t* c) { m_border_color = c; }
    uint32_t fixedSize() const { return m_fixed_size; }
};

class grTexture2D : public grTextureSource {
    std::vector<image2d_t> m_images;  // index = mipmap level
    const texparameter2d_t* m_params = nullptr;

    bool upload(bool sub) const;

  public:
    // Stores the picture at `level`; the fixed size becomes max(F, width,
    // height) when F is not 0, else 0 (each level at its own size).
    void setImage(const image2d_t& image, uint32_t fixed_size = 0, size_t level = 0);
    void setImages(const std::vector<image2d_t>& images, uint32_t fixed_size = 0);
    void setTextureParameter(const texparameter2d_t* p) { m_params = p; }
    const texparameter2d_t* getTextureParameter() const { return m_params; }
    const std::vector<image2d_t>& images() const { return m_images; }
    void clear() { m_images.clear(); }

    int Dimension() const override { return 2; }
    GLenum GetInternalFormat() const override;
    bool Load() const override { return upload(false); }
    bool Reload() const override { return upload(true); }
};

// Six pictures per level, in the order +X, -X, +Y, -Y, +Z, -Z.
class grTextureCubeMap : public grTextureSource {
    std::vector<image2d_t> m_images;  // level * 6 + face
    const texparametercubemap_t* m_params = nullptr;

  public:
    void setImage(const image2d_t* six, uint32_t fixed_size = 0, size_t level = 0);
    void setTextureParameter(const texparametercubemap_t* p) { m_params = p; }
    void clear() { m_images.clear(); }

    int Dimension() const override { return 6; }
    GLenum GetInternalFormat() const override;
    bool Load() const override;
};

class grTexturableObject : public grTexturable {
  public:
    virtual bool isPreload() const = 0;
    virtual void Unload() const = 0;
};

class grTextureMgr {
    GLuint m_name = 0;
    bool m_generated = false;

  public:
    ~grTextureMgr() { Release(); }
    bool Generate();
    void Release();
    GLuint texid() const { return m_generated ? m_name : GR_NO_NAME; }
};

class grTextureObject : public grTexturableObject {
    GLenum m_target = GR_NO_NAME;
    bool m_preloaded = false;
    const grTexturableImageGL* m_source = nullptr;
    libutils::refobject<grTextureMgr> m_mgr;

  public:
    // Makes the name (once), binds it and uploads `source` into it.
    bool Preload(const grTexturableImageGL* source);
    // Binds for drawing (and enables the target below GL 3.0).
    bool Load() const override;
    // Unbinds (and disables the target below GL 3.0).
    void Unload() const override;
    // Uploads the source again into the existing texture.
    bool Reload() const override;
    // Releases this copy's share of the name.
    void clear();

    bool isPreload() const override { return m_preloaded; }
    bool isResident() const;
    int Dimension() const override { return grTextureEnumToDim(m_target); }
    GLenum target() const { return m_target; }
    GLuint texid() const { return m_mgr ? m_mgr->texid() : GR_NO_NAME; }

    // Binds `level` of the texture to image unit `unit` for shader loads and
    // stores (GL 4.2), in the source's internal format; false without the
    // entry point or before Preload. UnbindImage empties the unit.
    bool BindImage(GLuint unit, GLint level, GLenum access) const;
    void UnbindImage(GLuint unit) const;

    // Reads level `level` of `target` (this texture's target, or one cube
    // face) back as 8-bit RGB; false when the texture is not preloaded, is
    // three-dimensional, or the picture cannot be allocated.
    bool GetTexImage(GLenum target, GLint level, image2d_t& image) const;
    bool GetTextureImage(GLint level, image2d_t& image) const {
        return GetTexImage(m_target, level, image);
    }
};

// The smallest power of two >= n (1 for 0).
uint32_t grPowerOfTwo(uint32_t n);

}  // namespace libgr

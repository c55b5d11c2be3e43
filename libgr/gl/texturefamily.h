// The other texturable images beside grTexture2D and grTextureCubeMap, with
// the same settings and the same upload decisions for their dimension:
//   grTexture1D         GL_TEXTURE_1D         image1d_t levels, width only
//   grTextureRectangle  GL_TEXTURE_RECTANGLE  one image at its own size, no
//                                             mipmaps; texel coordinates
//   grTexture3D         GL_TEXTURE_3D         image3d_t levels
// A fixed size F pads level 0 to the smallest power of two >= F along every
// axis, the picture in the lowest corner, as for 2-D sources. Messages:
// unsupported formats as in glformat.h; a compressed 3-D picture that needs
// mipmaps this GL cannot make: "Compressed image are can't build mipmaps in
// this environment."
#pragma once

#include <vector>

#include "libgr/gl/texture.h"

namespace libgr {

class grTexture1D : public grTextureSource {
    std::vector<image1d_t> m_images;  // index = mipmap level
    const texparameter1d_t* m_params = nullptr;

    bool upload(bool sub) const;

  public:
    void setImage(const image1d_t& image, uint32_t fixed_size = 0, size_t level = 0);
    void setImages(const std::vector<image1d_t>& images, uint32_t fixed_size = 0);
    void setTextureParameter(const texparameter1d_t* p) { m_params = p; }
    void clear() { m_images.clear(); }

    int Dimension() const override { return 1; }
    GLenum GetInternalFormat() const override;
    bool Load() const override { return upload(false); }
    bool Reload() const override { return upload(true); }
};

class grTextureRectangle : public grTexturableImageGL {
    image2d_t m_image;
    const texparameter2d_t* m_params = nullptr;

    bool upload(bool sub) const;

  public:
    // Minification must not ask for mipmaps (GL_NEAREST or GL_LINEAR).
    void setImage(const image2d_t& image) { m_image = image; }
    void setTextureParameter(const texparameter2d_t* p) { m_params = p; }
    void clear() { m_image.clear(); }

    int Dimension() const override { return 2; }
    GLenum Target() const override { return GL_TEXTURE_RECTANGLE; }
    GLenum GetInternalFormat() const override;
    bool Load() const override { return upload(false); }
    bool Reload() const override { return upload(true); }
};

class grTexture3D : public grTextureSource {
    std::vector<image3d_t> m_images;  // index = mipmap level
    const texparameter3d_t* m_params = nullptr;

    bool upload(bool sub) const;

  public:
    void setImage(const image3d_t& image, uint32_t fixed_size = 0, size_t level = 0);
    void setImages(const std::vector<image3d_t>& images, uint32_t fixed_size = 0);
    void setTextureParameter(const texparameter3d_t* p) { m_params = p; }
    void clear() { m_images.clear(); }

    int Dimension() const override { return 3; }
    GLenum GetInternalFormat() const override;
    bool Load() const override { return upload(false); }
    bool Reload() const override { return upload(true); }
};

}  // namespace libgr

// One picture as a drawable: ViewObject loads an image file by its
// extension, cuts the picture into square tiles of at most 256 pixels (each
// a window onto the decoded pixels, no copy), uploads every tile as its own
// power-of-two texture with mipmaps, and draws the tiles as one grid of
// quads centred on the origin at one unit per picture pixel, so that scale 1
// under the view scene's projection shows the picture pixel for pixel.
// Once a full-resolution picture is uploaded its textures are the only copy
// of its pixels: the decoded picture is handed back to the system band by
// band during the upload, so that picture and textures never both stay
// whole in memory.
//
// Messages (standard error): "rectangle_to_squares(): compressed format not
// supported.", "rectangle_to_squares(): outimg allocate failed.",
// "rectangle_to_squares(): makewindow() failed." or ": copy() failed.", and
// "<path>: unsupported picture type." for an extension outside the four;
// the loaders report their own failures. GL errors go through grPrintError.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "libgr/gl/nodes.h"
#include "libgr/gl/texture.h"
#include "libgr/image/image.h"

namespace glimlib {

// The tiles of one picture, row after row from the bottom, left to right.
struct multi_square_image_t {
    std::vector<libgr::image2d_t> images;
    libgr::image_desc_t desc;
    uint32_t columns = 0, rows = 0;
    uint32_t side = 0;                 // of every tile, in pixels
    float extent_x = 0, extent_y = 0;  // picture size in tile sides

    bool allocate();  // columns x rows empty tiles
    void clear();
};

// One texture per tile, in the same order, and the grid to draw them in.
class multi_texture_object_t {
  public:
    std::vector<libgr::grTexture2D> sources;
    std::vector<libgr::grTextureObject> objects;  // filled by Preload
    uint32_t columns = 0, rows = 0;
    float extent_x = 0, extent_y = 0;

    void setTexParm(const libgr::texparameter2d_t* p) { m_params = p; }
    // Uploads the tiles a row at a time; `row_done`, when given, is told
    // how many rows of tiles (from the bottom) are in GL so far.
    bool Preload(const std::function<void(uint32_t)>& row_done = nullptr);
    void Unload();
    bool isResident() const;
    // The grid between the two corners, in drawing units.
    void draw_image(float left, float bottom, float right, float top) const;

  private:
    const libgr::texparameter2d_t* m_params = nullptr;
};

// Cuts `image` into tiles of side S = the largest per-axis side (the whole
// axis rounded up to a power of two when it fits in max_side, else
// max_side). With `share` each tile is a window onto the picture's pixels,
// else a copy of one.
bool rectangle_to_squares(multi_square_image_t& out, const libgr::image2d_t& image,
                          uint32_t max_side, bool share);
// One mipmapped texture source per tile, each of fixed side F (the largest
// tile dimension), holding its tile in the lower-left corner.
bool squares_to_texobjs(multi_texture_object_t& out, const multi_square_image_t& squares);

// A picture as its loader leaves it, before any GL work: what
// decode_picture gives, on any thread.
struct decoded_picture_t {
    bool ok = false;
    libgr::image2d_t image;
    uint64_t rightrotatecount = 0;
    libgr::direction2l_t full_size;  // the picture's, also when reduced
    bool reduced = false;
    // Whether a picture asked to cover that many pixels can be this one.
    bool covers(uint32_t w, uint32_t h) const {
        return !reduced || (image.width >= w && image.height >= h);
    }
};

// The loader by extension (any case; false, reported, for another); with a
// cover size a JPEG may be decoded reduced (see jpeginfo_t::cover_width).
bool decode_picture(decoded_picture_t& out, const std::string& path, uint32_t cover_w = 0,
                    uint32_t cover_h = 0);

class ViewObject : public libgr::grObject3D {
    std::string m_path;
    uint64_t m_rightrotatecount = 0;
    libgr::image2d_t m_image;
    multi_square_image_t m_squares;
    multi_texture_object_t m_textures;
    libgr::texparameter2d_t m_texparam;
    bool m_loaded = false;
    bool m_smooth = true;
    // The picture's full size; the decoded image is smaller while reduced.
    libgr::direction2l_t m_size;
    bool m_reduced = false;
    bool m_refined = false;  // names the start-up timing marks
    // The pixels live only in the textures: they stay loaded until the
    // object goes.
    bool m_pixels_dropped = false;

    void unload_texture();

  public:
    ViewObject() = default;
    ViewObject(const ViewObject&) = delete;
    ViewObject& operator=(const ViewObject&) = delete;
    ~ViewObject() override;

    // Reads and tiles the picture (needs a current GL context for the
    // texture size limit); false for an unknown extension or a failed load.
    // With a cover size, a JPEG may be decoded reduced (a fast first look,
    // see jpeginfo_t::cover_width) as long as it keeps that many pixels; it
    // is still drawn at its full size, and refine() replaces it.
    // `decoded`, when given, is the picture already decoded (and taken).
    bool setImage(const std::string& path, uint32_t cover_w = 0, uint32_t cover_h = 0,
                  decoded_picture_t* decoded = nullptr);
    bool reduced() const { return m_reduced; }
    // The full-resolution picture in place of a reduced one (textures
    // unloaded); a failed load keeps the reduced one for good.
    bool refine();
    libgr::direction2l_t getImageSize() const;
    uint64_t rightrotatecount() const { return m_rightrotatecount; }
    // The decoded picture and its tiles; empty once the full picture is
    // in its textures.
    const libgr::image2d_t& image() const { return m_image; }
    const multi_square_image_t& squares() const { return m_squares; }
    bool pixels_dropped() const { return m_pixels_dropped; }

    void load_texture();
    // Unloads the textures while the decoded pixels can load them again;
    // keeps them once they are the picture's only copy.
    void free_texture();
    bool is_resident() const { return m_loaded && m_textures.isResident(); }
    void setMagSmooth(bool smooth);
    bool getMagSmooth() const { return m_smooth; }

    using libgr::grObject3D::Draw;
    void Draw() const override;
};

// The tile side limit: min(GL_MAX_TEXTURE_SIZE, 256).
uint32_t tile_side_limit();

}  // namespace glimlib

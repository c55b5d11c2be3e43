#include "glimlib/viewobj.h"

#include <GL/gl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <memory>

#include "glimlib/option.h"
#include "glimlib/stagetime.h"
#include "libgr/gl/grerror.h"
#include "libgr/image/imageops.h"
#include "libgr/imagefile/imagebmp.h"
#include "libgr/imagefile/imagejpeg.h"
#include "libgr/imagefile/imagetga.h"
#include "libgr/imagefile/pngfile.h"
#include "libutils/error.h"
#include "libutils/path.h"

namespace glimlib {

using libgr::grPrintError;
using libgr::image2d_t;

namespace {

// The loader of each picture type, chosen by extension (any case).
struct loader_row_t {
    const char* ext;
    std::unique_ptr<libgr::image_object_t> (*make)();
};

template <class T>
std::unique_ptr<libgr::image_object_t> make_loader() {
    return std::make_unique<T>();
}

const loader_row_t s_loaders[] = {
    {".jpg", make_loader<libgr::image_jpeg1_t>}, {".jpeg", make_loader<libgr::image_jpeg1_t>},
    {".bmp", make_loader<libgr::image_bmp2_t>},  {".png", make_loader<libgr::image_png_t>},
    {".tga", make_loader<libgr::image_tga_t>},
};

std::unique_ptr<libgr::image_object_t> loader_for(const std::string& path) {
    for (const auto& row : s_loaders)
        if (libutils::extcasecmp(path, row.ext) == 0) return row.make();
    return nullptr;
}

// Per axis: whole tiles, a partial one, and the side of the tiles.
struct axis_t {
    uint32_t whole = 0, partial = 0, side = 0;
};

axis_t cut_axis(uint32_t n, uint32_t limit) {
    axis_t a;
    if (n > limit) {
        a.whole = n / limit, a.partial = n % limit ? 1 : 0, a.side = limit;
    } else if (n != 0 && (n & (n - 1)) == 0) {
        a.whole = 1, a.side = n;
    } else {
        a.partial = 1, a.side = libgr::grPowerOfTwo(n);
    }
    return a;
}

// Hands the whole pages under the bottom `rows` rows of `image` back to the
// system; they read as zeros afterwards. The pixels are anonymous memory of
// their own (libutils::bytevector), so the pages leave at once.
void release_bottom_rows(image2d_t& image, uint64_t rows) {
    if (!image.is_allocated()) return;
    const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
    const uint64_t bytes =
        std::min<uint64_t>((uint64_t(image.window.skip_rows) + rows) * image.rowsize(), image.size());
    const uintptr_t begin = reinterpret_cast<uintptr_t>(image.begin());
    const uintptr_t first = (begin + page - 1) / page * page;
    const uintptr_t end = (begin + bytes) / page * page;
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

}  // namespace

uint32_t tile_side_limit() {
    GLint max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
    if (g_option.debug) std::cerr << "max_tex_size: " << max << std::endl;
    // Without a context the query leaves 0: the usual limit then serves.
    if (max <= 0) return 256;
    return std::min<uint32_t>(uint32_t(max), 256);
}

// --- tiles --------------------------------------------------------------------

bool multi_square_image_t::allocate() {
    images.clear();
    images.resize(size_t(columns) * rows);
    return images.size() == size_t(columns) * rows;
}

void multi_square_image_t::clear() {
    images.clear();
    columns = rows = 0;
    extent_x = extent_y = 0;
}

bool rectangle_to_squares(multi_square_image_t& out, const image2d_t& image, uint32_t max_side,
                          bool share) {
    const char* self = "rectangle_to_squares()";
    if (g_option.debug)
        std::cerr << self << std::endl
                  << "inimg: " << image.width << ", " << image.height << std::endl
                  << "maxsize: " << max_side << std::endl;
    if (image.compressed)
        return libutils::fail(std::cerr, self, ": compressed format not supported.");
    if (max_side == 0) max_side = 256;
    axis_t ax = cut_axis(image.width, max_side), ay = cut_axis(image.height, max_side);
    uint32_t side = std::max(ax.side, ay.side);
    out.clear();
    out.desc = image.desc;
    out.columns = ax.whole + ax.partial;
    out.rows = ay.whole + ay.partial;
    out.side = side;
    out.extent_x = float(image.width) / float(side);
    out.extent_y = float(image.height) / float(side);
    if (!out.allocate()) return libutils::fail(std::cerr, self, ": outimg allocate failed.");
    for (uint32_t r = 0; r < out.rows; ++r)
        for (uint32_t c = 0; c < out.columns; ++c) {
            image2d_t& tile = out.images[size_t(r) * out.columns + c];
            int32_t x = int32_t(c * side), y = int32_t(r * side);
            if (share) {
                if (!libgr::makewindow(tile, image, x, y, side, side))
                    return libutils::fail(std::cerr, self, ": makewindow() failed.");
            } else {
                image2d_t window;
                if (!libgr::makewindow(window, image, x, y, side, side) ||
                    !libgr::copy(tile, window))
                    return libutils::fail(std::cerr, self, ": copy() failed.");
            }
        }
    return true;
}

// --- textures -----------------------------------------------------------------

bool squares_to_texobjs(multi_texture_object_t& out, const multi_square_image_t& squares) {
    out.objects.clear();
    out.sources.assign(squares.images.size(), libgr::grTexture2D());
    out.columns = squares.columns, out.rows = squares.rows;
    out.extent_x = squares.extent_x, out.extent_y = squares.extent_y;
    uint32_t fixed = 1;
    for (const auto& t : squares.images) fixed = std::max({fixed, t.width, t.height});
    for (size_t i = 0; i < squares.images.size(); ++i) {
        libgr::grTexture2D& s = out.sources[i];
        s.setInternalCompression(false);
        s.setBuildMipmap(true);
        s.setBorder(false);
        s.setImage(squares.images[i], fixed, 0);
    }
    return true;
}

bool multi_texture_object_t::Preload(const std::function<void(uint32_t)>& row_done) {
    objects.assign(sources.size(), libgr::grTextureObject());
    bool ok = true;
    for (size_t i = 0; i < sources.size(); ++i) {
        ok = objects[i].Preload(&sources[i]) && ok;
        if (row_done && columns && (i + 1) % columns == 0) row_done(uint32_t((i + 1) / columns));
    }
    return ok;
}

void multi_texture_object_t::Unload() {
    for (const auto& o : objects) o.Unload();
    for (auto& o : objects) o.clear();
    objects.clear();
}

bool multi_texture_object_t::isResident() const {
    bool all = true;
    for (size_t i = 0; i < objects.size(); ++i) {
        if (!objects[i].isPreload()) {
            if (g_option.debug)
                std::cerr << "multi_texture_object_t::isResident()" << std::endl
                          << "m_texobjs[" << i << "] is not loaded." << std::endl;
            continue;
        }
        all = objects[i].isResident() && all;
    }
    return all;
}

void multi_texture_object_t::draw_image(float left, float bottom, float right, float top) const {
    if (g_option.debug)
        std::cerr << "multi_texture_object_t::draw_image()" << std::endl
                  << "btm_lft: " << left << ", " << bottom << std::endl
                  << "top_rit: " << right << ", " << top << std::endl;
    if (extent_x <= 0 || extent_y <= 0) return;
    float ux = (right - left) / extent_x, uy = (top - bottom) / extent_y;
    grPrintError("before-glenable-tex2d");
    glEnable(GL_TEXTURE_2D);
    grPrintError("after-glenable-tex2d");
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    grPrintError("after-gltexenv");
    for (uint32_t r = 0; r < rows; ++r)
        for (uint32_t c = 0; c < columns; ++c) {
            size_t n = size_t(r) * columns + c;
            if (n >= objects.size()) continue;
            float fx = std::min(extent_x - float(c), 1.0f);
            float fy = std::min(extent_y - float(r), 1.0f);
            grPrintError("before m_texobjs[n].Load().");
            objects[n].Load();
            grPrintError("after m_texobjs[n].Load().");
            if (m_params) libgr::grTexParameter(GL_TEXTURE_2D, *m_params);
            grPrintError("after grTexParameter().");
            float x0 = left + float(c) * ux, x1 = left + (float(c) + fx) * ux;
            float y0 = bottom + float(r) * uy, y1 = bottom + (float(r) + fy) * uy;
            glBegin(GL_TRIANGLE_FAN);
            glTexCoord2f(0, 0), glVertex2f(x0, y0);
            glTexCoord2f(fx, 0), glVertex2f(x1, y0);
            glTexCoord2f(fx, fy), glVertex2f(x1, y1);
            glTexCoord2f(0, fy), glVertex2f(x0, y1);
            glEnd();
        }
    grPrintError("before-gldisable-tex2d");
    glDisable(GL_TEXTURE_2D);
    grPrintError("after-gldisable-tex2d");
}

// --- the picture ----------------------------------------------------------------

ViewObject::~ViewObject() {
    unload_texture();
}

bool decode_picture(decoded_picture_t& out, const std::string& path, uint32_t cover_w,
                    uint32_t cover_h) {
    out = decoded_picture_t();
    std::unique_ptr<libgr::image_object_t> loader = loader_for(path);
    if (!loader) return libutils::fail(std::cerr, path, ": unsupported picture type.");
    auto* jpeg = dynamic_cast<libgr::image_jpeg1_t*>(loader.get());
    if (jpeg) jpeg->set_cover(cover_w, cover_h);
    if (!loader->load(out.image, path.c_str())) return false;
    out.reduced = jpeg && jpeg->reduction() > 1;
    out.full_size =
        out.reduced
            ? libgr::direction2l_t(int32_t(jpeg->full_width()), int32_t(jpeg->full_height()))
            : libgr::direction2l_t(int32_t(out.image.width), int32_t(out.image.height));
    out.rightrotatecount = loader->rightrotatecount();
    out.ok = true;
    return true;
}

bool ViewObject::setImage(const std::string& path, uint32_t cover_w, uint32_t cover_h,
                          decoded_picture_t* decoded) {
    m_path = path;
    decoded_picture_t own;
    if (!decoded) {
        decode_picture(own, path, cover_w, cover_h);
        decoded = &own;
    }
    if (!decoded->ok) return false;
    stage_time(m_refined ? "full-decode" : "decode");
    m_image = std::move(decoded->image);
    m_reduced = decoded->reduced;
    m_size = decoded->full_size;
    m_rightrotatecount = decoded->rightrotatecount;
    uint32_t limit = tile_side_limit();
    if (m_image.desc.format == libgr::IMAGE_FORMAT_INDEX) {
        if (!libgr::index2rgb(m_image, m_image)) return false;
    } else if (m_image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE &&
               m_image.desc.type == libgr::IMAGE_TYPE_UINT &&
               m_image.desc.bits == libgr::IMAGE_BITS_1) {
        if (!libgr::grayscale(m_image, m_image)) return false;
    }
    grPrintError("before rectangle_to_squares");
    bool cut = rectangle_to_squares(m_squares, m_image, limit, true);
    grPrintError("rectangle-to-squares");
    if (!cut) return false;
    if (g_option.debug) std::cerr << "rectangle_to_square() complete." << std::endl;
    squares_to_texobjs(m_textures, m_squares);
    for (auto& s : m_textures.sources) s.setTextureParameter(&m_texparam);
    m_textures.setTexParm(&m_texparam);
    grPrintError("squares_to_texobjs");
    stage_time(m_refined ? "full-tiles" : "tiles");
    if (g_option.debug) std::cerr << "ViewObject::setImage() end" << std::endl;
    return true;
}

libgr::direction2l_t ViewObject::getImageSize() const {
    return m_size;
}

bool ViewObject::refine() {
    if (!m_reduced) return true;
    free_texture();
    ViewObject full;
    full.m_refined = m_refined = true;
    if (!full.setImage(m_path)) {
        // The file went away or memory ran out: the first look stays, and
        // is not asked for again.
        m_reduced = false;
        return false;
    }
    // The tiles are windows onto the image: both move together.
    m_image = std::move(full.m_image);
    m_squares = std::move(full.m_squares);
    m_textures = std::move(full.m_textures);
    for (auto& t : m_textures.sources) t.setTextureParameter(&m_texparam);
    m_textures.setTexParm(&m_texparam);
    m_reduced = false;
    return true;
}

void ViewObject::load_texture() {
    if (m_loaded) return;
    // A first look is small and may stay for good (a failed refine); a full
    // picture leaves memory as its tiles go up, so that the picture and its
    // textures (four bytes a texel plus mipmaps) are never both whole.
    const bool drop = !m_reduced && m_image.is_allocated();
    const uint32_t side = m_squares.side;
    m_textures.Preload([&](uint32_t rows) {
        if (drop) release_bottom_rows(m_image, uint64_t(rows) * side);
    });
    if (drop) {
        for (auto& s : m_textures.sources) s.clear();
        m_squares.images.clear();
        m_image.clear();
        m_pixels_dropped = true;
    }
    if (stage_times_on()) {
        glFinish();  // the upload is measured, not queued
        stage_time(m_refined ? "full-upload" : "upload");
    }
    m_loaded = true;
}

void ViewObject::free_texture() {
    if (!m_pixels_dropped) unload_texture();
}

void ViewObject::unload_texture() {
    if (!m_loaded) return;
    m_textures.Unload();
    m_loaded = false;
}

void ViewObject::setMagSmooth(bool smooth) {
    m_smooth = smooth;
    m_texparam.mag_filter = smooth ? GL_LINEAR : GL_NEAREST;
}

void ViewObject::Draw() const {
    if (!m_loaded) return;
    if (g_option.debug) std::cerr << "ViewObject::Draw()" << std::endl;
    grPrintError("before-ViewObject::Draw()");
    float w = float(m_size.x) / 2, h = float(m_size.y) / 2;
    m_textures.draw_image(-w, -h, w, h);
    grPrintError("after-ViewObject::Draw()");
}

}  // namespace glimlib

#include "libgr/gl/glformat.h"

#include <GL/glext.h>

#include <iostream>

#include "libgr/gl/glsupport.h"
#include "libutils/error.h"

namespace libgr {

namespace {

const GLenum NONE = 1281;

// GL format per e_image_format_t, in enum order.
const GLenum s_gl_format[IMAGE_FORMAT_MAX] = {
    GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_INTENSITY, GL_RED,  GL_GREEN, GL_BLUE,
    GL_ALPHA,     GL_RG,              GL_RGB,       GL_RGBA, GL_BGR,   GL_BGRA,
    GL_DEPTH_COMPONENT, GL_DEPTH_STENCIL, GL_RGB,   GL_RGBA, NONE,     GL_COLOR_INDEX,
};

// Sized internal formats of one GL format for 8- and 16-bit unsigned and
// 16- and 32-bit float components; the unsized base format serves for the
// rest (GL converts the components on upload).
struct sized_t {
    e_image_format_t format;
    GLenum base, u8, u16, f16, f32;
};
const sized_t s_sized[] = {
    {IMAGE_FORMAT_GRAYSCALE, GL_LUMINANCE, GL_LUMINANCE8, GL_LUMINANCE16, GL_LUMINANCE16F_ARB,
     GL_LUMINANCE32F_ARB},
    {IMAGE_FORMAT_GRAYSCALE_ALPHA, GL_LUMINANCE_ALPHA, GL_LUMINANCE8_ALPHA8,
     GL_LUMINANCE16_ALPHA16, GL_LUMINANCE_ALPHA16F_ARB, GL_LUMINANCE_ALPHA32F_ARB},
    {IMAGE_FORMAT_INTENSITY, GL_INTENSITY, GL_INTENSITY8, GL_INTENSITY16, GL_INTENSITY16F_ARB,
     GL_INTENSITY32F_ARB},
    {IMAGE_FORMAT_RED, GL_RED, GL_R8, GL_R16, GL_R16F, GL_R32F},
    {IMAGE_FORMAT_GREEN, GL_RGB, GL_RGB8, GL_RGB16, GL_RGB16F, GL_RGB32F},
    {IMAGE_FORMAT_BLUE, GL_RGB, GL_RGB8, GL_RGB16, GL_RGB16F, GL_RGB32F},
    {IMAGE_FORMAT_ALPHA, GL_ALPHA, GL_ALPHA8, GL_ALPHA16, GL_ALPHA16F_ARB, GL_ALPHA32F_ARB},
    {IMAGE_FORMAT_RG, GL_RG, GL_RG8, GL_RG16, GL_RG16F, GL_RG32F},
    {IMAGE_FORMAT_RGB, GL_RGB, GL_RGB8, GL_RGB16, GL_RGB16F, GL_RGB32F},
    {IMAGE_FORMAT_YCbCr, GL_RGB, GL_RGB8, GL_RGB16, GL_RGB16F, GL_RGB32F},
    {IMAGE_FORMAT_BGR, GL_RGB, GL_RGB8, GL_RGB16, GL_RGB16F, GL_RGB32F},
    {IMAGE_FORMAT_RGBA, GL_RGBA, GL_RGBA8, GL_RGBA16, GL_RGBA16F, GL_RGBA32F},
    {IMAGE_FORMAT_YCbCrA, GL_RGBA, GL_RGBA8, GL_RGBA16, GL_RGBA16F, GL_RGBA32F},
    {IMAGE_FORMAT_BGRA, GL_RGBA, GL_RGBA8, GL_RGBA16, GL_RGBA16F, GL_RGBA32F},
    {IMAGE_FORMAT_DEPTH, GL_DEPTH_COMPONENT, NONE, GL_DEPTH_COMPONENT16, NONE,
     GL_DEPTH_COMPONENT32F},
};

// The packed layouts that have a GL type of their own.
struct packed_t {
    e_image_format_t format;
    e_image_bits_t bits;
    GLenum internalformat, type;
};
const packed_t s_packed[] = {
    {IMAGE_FORMAT_RGB, IMAGE_BITS_R3G3B2, GL_R3_G3_B2, GL_UNSIGNED_BYTE_2_3_3_REV},
    {IMAGE_FORMAT_RGB, IMAGE_BITS_R5G6B5, GL_RGB5, GL_UNSIGNED_SHORT_5_6_5_REV},
    {IMAGE_FORMAT_RGBA, IMAGE_BITS_R5G5B5A1, GL_RGB5_A1, GL_UNSIGNED_SHORT_1_5_5_5_REV},
    {IMAGE_FORMAT_RGBA, IMAGE_BITS_R10G10B10A2, GL_RGB10_A2, GL_UNSIGNED_INT_2_10_10_10_REV},
    {IMAGE_FORMAT_BGRA, IMAGE_BITS_R5G5B5A1, GL_RGB5_A1, GL_UNSIGNED_SHORT_1_5_5_5_REV},
    {IMAGE_FORMAT_BGRA, IMAGE_BITS_R10G10B10A2, GL_RGB10_A2, GL_UNSIGNED_INT_2_10_10_10_REV},
    {IMAGE_FORMAT_DEPTH_STENCIL, IMAGE_BITS_D24S8, GL_DEPTH24_STENCIL8, GL_UNSIGNED_INT_24_8},
    {IMAGE_FORMAT_INDEX, IMAGE_BITS_8, GL_RGB8, GL_UNSIGNED_BYTE},
    {IMAGE_FORMAT_INDEX, IMAGE_BITS_1, GL_RGB8, GL_BITMAP},
    {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1, GL_LUMINANCE8, GL_BITMAP},
};

bool lookup(gl_loading_format_t& out, const image_desc_t& d) {
    for (const auto& p : s_packed)
        if (p.format == d.format && p.bits == d.bits && d.type == IMAGE_TYPE_UINT) {
            out.internalformat = p.internalformat, out.type = p.type;
            return true;
        }
    for (const auto& s : s_sized) {
        if (s.format != d.format) continue;
        GLenum in = NONE, type = NONE;
        if (d.type == IMAGE_TYPE_UINT) {
            if (d.bits == IMAGE_BITS_8) in = s.u8, type = GL_UNSIGNED_BYTE;
            if (d.bits == IMAGE_BITS_16) in = s.u16, type = GL_UNSIGNED_SHORT;
            if (d.bits == IMAGE_BITS_32) in = s.base, type = GL_UNSIGNED_INT;
        } else if (d.type == IMAGE_TYPE_SINT) {
            if (d.bits == IMAGE_BITS_8) in = s.base, type = GL_BYTE;
            if (d.bits == IMAGE_BITS_16) in = s.base, type = GL_SHORT;
            if (d.bits == IMAGE_BITS_32) in = s.base, type = GL_INT;
        } else if (d.type == IMAGE_TYPE_FLOAT) {
            if (d.bits == IMAGE_BITS_16) in = s.f16, type = GL_HALF_FLOAT;
            if (d.bits == IMAGE_BITS_32) in = s.f32, type = GL_FLOAT;
        }
        if (in == NONE || type == NONE) return false;
        out.internalformat = in, out.type = type;
        return true;
    }
    return false;
}

}  // namespace

bool grConvertImageFormatToGlFormat(gl_loading_format_t& out, const image_desc_t& desc,
                                    bool compress, bool report) {
    out = gl_loading_format_t();
    bool ok = desc.format >= 0 && desc.format < IMAGE_FORMAT_MAX &&
              s_gl_format[desc.format] != NONE && lookup(out, desc);
    if (!ok) {
        out = gl_loading_format_t();
        if (report) {
            libutils::report(std::cerr, "Not supported image format!");
            libutils::report(std::cerr, "imgformat: ", desc.format);
            libutils::report(std::cerr, "imgtype: ", desc.type);
            libutils::report(std::cerr, "imgbits: ", desc.bits);
        }
        return false;
    }
    out.format = s_gl_format[desc.format];
    if (compress && g_glsupport.ARB_texture_compression && out.internalformat == GL_ALPHA)
        out.internalformat = GL_COMPRESSED_ALPHA;
    return true;
}

unsigned grFormatToComponents(GLenum format) {
    switch (format) {
        case GL_COLOR_INDEX: case GL_RED: case GL_GREEN: case GL_BLUE: case GL_ALPHA:
        case GL_LUMINANCE:
            return 1;
        case GL_LUMINANCE_ALPHA:
            return 2;
        case GL_RGB: case GL_BGR:
            return 3;
        case GL_RGBA: case GL_BGRA:
            return 4;
        default:
            return 0;
    }
}

unsigned grTypeToSize(GLenum type) {
    switch (type) {
        case GL_BYTE: case GL_UNSIGNED_BYTE: case GL_BITMAP:
            return 1;
        case GL_SHORT: case GL_UNSIGNED_SHORT:
            return 2;
        case GL_INT: case GL_UNSIGNED_INT: case GL_FLOAT:
            return 4;
        case GL_DOUBLE:
            return 8;
        default:
            return 0;
    }
}

GLenum grSizeToType(unsigned size) {
    switch (size) {
        case 1: return GL_UNSIGNED_BYTE;
        case 2: return GL_UNSIGNED_SHORT;
        case 4: return GL_FLOAT;
        case 8: return GL_DOUBLE;
        default: return 0;
    }
}

GLenum grTextureDimToEnum(int dim) {
    switch (dim) {
        case 1: return GL_TEXTURE_1D;
        case 2: return GL_TEXTURE_2D;
        case 3: return GL_TEXTURE_3D;
        case 6: return GL_TEXTURE_CUBE_MAP;
        default: return NONE;
    }
}

int grTextureEnumToDim(GLenum target) {
    switch (target) {
        case GL_TEXTURE_1D: return 1;
        case GL_TEXTURE_2D: return 2;
        case GL_TEXTURE_3D: return 3;
        case GL_TEXTURE_CUBE_MAP: return 6;
        default: return 0;
    }
}

void grPixelStoreUnpack(const image_store_t* store) {
    glPixelStorei(GL_UNPACK_SWAP_BYTES, store && store->swap_bytes ? GL_TRUE : GL_FALSE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, store && store->alignment ? GLint(store->alignment) : 4);
}

void grPixelStoreUnpack(const image_window2d_t& w) {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(w.row_length));
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, GLint(w.skip_pixels));
    glPixelStorei(GL_UNPACK_SKIP_ROWS, GLint(w.skip_rows));
}

void grPixelStoreUnpack(const image_window1d_t& w) {
    grPixelStoreUnpack(image_window2d_t());
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, GLint(w.skip_pixels));
}

void grPixelStoreUnpack(const image_window3d_t& w) {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(w.row_length));
    glPixelStorei(GL_UNPACK_IMAGE_HEIGHT, GLint(w.image_height));
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, GLint(w.skip_pixels));
    glPixelStorei(GL_UNPACK_SKIP_ROWS, GLint(w.skip_rows));
    glPixelStorei(GL_UNPACK_SKIP_IMAGES, GLint(w.skip_images));
}

void grPixelStorePack(const image_store_t* store) {
    glPixelStorei(GL_PACK_SWAP_BYTES, store && store->swap_bytes ? GL_TRUE : GL_FALSE);
    glPixelStorei(GL_PACK_ALIGNMENT, store && store->alignment ? GLint(store->alignment) : 4);
}

void grPixelStorePack(const image_window2d_t& w) {
    glPixelStorei(GL_PACK_ROW_LENGTH, GLint(w.row_length));
    glPixelStorei(GL_PACK_SKIP_PIXELS, GLint(w.skip_pixels));
    glPixelStorei(GL_PACK_SKIP_ROWS, GLint(w.skip_rows));
}

namespace {

// The viewport of `buffer` read into a fresh picture of `desc`.
bool read_viewport(image2d_t& image, GLenum buffer, const image_desc_t& desc, GLenum format,
                   GLenum type) {
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    image.clear();
    image.desc = desc;
    image.window = image_window2d_t();
    image.width = uint32_t(vp[2] > 0 ? vp[2] : 0);
    image.height = uint32_t(vp[3] > 0 ? vp[3] : 0);
    if (!image.allocate()) return false;
    grPixelStorePack(image.store);
    grPixelStorePack(image.window);
    glReadBuffer(buffer);
    glReadPixels(vp[0], vp[1], vp[2], vp[3], format, type, image.begin());
    return true;
}

}  // namespace

bool grReadPixelsRGB(image2d_t& image, GLenum buffer) {
    return read_viewport(image, buffer,
                         image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8), GL_RGB,
                         GL_UNSIGNED_BYTE);
}

bool grReadPixelsDepth(image2d_t& image, GLenum buffer) {
    return read_viewport(image, buffer,
                         image_desc_t(IMAGE_FORMAT_DEPTH, IMAGE_TYPE_FLOAT, IMAGE_BITS_32),
                         GL_DEPTH_COMPONENT, GL_FLOAT);
}

}  // namespace libgr

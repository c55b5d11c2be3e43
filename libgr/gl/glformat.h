// How pictures map to OpenGL: the GL format, internal format and type of an
// image description, component and byte counts of GL enums, texture target
// codes, and the pixel-store settings that let a window onto a larger
// picture upload or read back without a copy. GR_NO_NAME (1281) marks "no
// such format". The FULL conversion reports an unsupported description as
// four lines on the standard error stream: "Not supported image format!",
// "imgformat: ...", "imgtype: ..." and "imgbits: ...".
#pragma once

#include <GL/gl.h>

#include "libgr/image/image.h"

namespace libgr {

struct gl_loading_format_t {
    GLenum internalformat = 1281;
    GLenum format = 1281;
    GLenum type = 1281;
};

// False for a description without a GL equivalent. With `compress` (and
// GL_ARB_texture_compression), GL_ALPHA becomes GL_COMPRESSED_ALPHA.
bool grConvertImageFormatToGlFormat(gl_loading_format_t& out, const image_desc_t& desc,
                                    bool compress = false, bool report = true);

unsigned grFormatToComponents(GLenum format);
unsigned grTypeToSize(GLenum type);
GLenum grSizeToType(unsigned size);
GLenum grTextureDimToEnum(int dim);  // 1, 2, 3, 6 -> target; else 1281
int grTextureEnumToDim(GLenum target);  // else 0

void grPixelStoreUnpack(const image_store_t* store);
void grPixelStoreUnpack(const image_window2d_t& window);
void grPixelStoreUnpack(const image_window1d_t& window);
void grPixelStoreUnpack(const image_window3d_t& window);
void grPixelStorePack(const image_store_t* store);
void grPixelStorePack(const image_window2d_t& window);

// The viewport's pixels of `buffer` (GL_BACK, GL_FRONT) as 8-bit RGB, rows
// bottom row first; false when the picture cannot be allocated.
bool grReadPixelsRGB(image2d_t& image, GLenum buffer);
// The same for the depth buffer: {DEPTH, FLOAT, 32 bits}, one float per
// pixel from 0 (near) to 1 (far).
bool grReadPixelsDepth(image2d_t& image, GLenum buffer);

}  // namespace libgr

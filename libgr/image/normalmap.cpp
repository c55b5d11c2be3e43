#include "libgr/image/normalmap.h"

#include <cmath>
#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libgr/image/vecmath.h"
#include "libutils/byteconv.h"
#include "libutils/error.h"

namespace libgr {

bool heightmap2normalmap(image2d_t& dst, const image2d_t& src, float) {
    if (src.compressed) {
        dst = src;
        return libutils::fail(std::cerr, "normalmap(): compressed format not supported.");
    }
    if (src.desc.format == IMAGE_FORMAT_RGB &&
        (src.desc.type == IMAGE_TYPE_SINT || src.desc.type == IMAGE_TYPE_UINT) &&
        src.desc.bits == IMAGE_BITS_8) {
        dst = src;
        return true;
    }
    if (src.desc.format != IMAGE_FORMAT_GRAYSCALE || src.desc.type != IMAGE_TYPE_UINT ||
        src.desc.bits != IMAGE_BITS_8) {
        dst = src;
        return libutils::fail(std::cerr, "normalmap(): image type not supported.");
    }
    if (!imageops_detail::has_pixels(src)) {
        return libutils::fail(std::cerr, "normalmap(): image buffer too small.");
    }
    image2d_t s(src);
    if (!imageops_detail::make_image(dst,
                                     image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8),
                                     s.store, s.width, s.height)) {
        return libutils::fail(std::cerr, "normalmap allocate() fail.");
    }
    uint32_t w = s.width, h = s.height;
    uint64_t stride = dst.rowsize();
    for (uint32_t y = 0; y < h; ++y) {
        const unsigned char* row = s[y];
        const unsigned char* up = s[(y + 1) % h];
        unsigned char* out = dst.begin() + y * stride;
        for (uint32_t x = 0; x < w; ++x, out += 3) {
            float here = libutils::uc2f(row[x]);
            float dx = libutils::uc2f(row[(x + 1) % w]) - here;
            float dy = libutils::uc2f(up[x]) - here;
            direction3_t a(dx, 0, std::sqrt(1 - dx * dx));
            direction3_t b(0, dy, std::sqrt(1 - dy * dy));
            direction3_t n = Normalize(a + b);
            if (n.x == 0 && n.y == 0 && n.z == 0) n.z = 1;
            out[0] = (unsigned char)libutils::f2sc(n.x);
            out[1] = (unsigned char)libutils::f2sc(n.y);
            out[2] = (unsigned char)libutils::f2sc(n.z);
        }
        std::memset(out, 0, stride - uint64_t(w) * 3);
    }
    return true;
}

namespace {

// OpenGL picks the face by the major axis and takes (s, t) on it as
// ((sc / |ma| + 1) / 2, (tc / |ma| + 1) / 2); this inverts that choice for
// a texel's (sc, tc) in -1..1.
direction3_t face_direction(int face, float sc, float tc) {
    switch (face) {
        case 0:
            return {1, -tc, -sc};  // +X: sc = -rz, tc = -ry
        case 1:
            return {-1, -tc, sc};  // -X: sc = +rz, tc = -ry
        case 2:
            return {sc, 1, tc};  // +Y: sc = +rx, tc = +rz
        case 3:
            return {sc, -1, -tc};  // -Y: sc = +rx, tc = -rz
        case 4:
            return {sc, -tc, 1};  // +Z: sc = +rx, tc = -ry
        default:
            return {-sc, -tc, -1};  // -Z: sc = -rx, tc = -ry
    }
}

}  // namespace

bool makenormalcubemap(image2d_t faces[6]) {
    const uint32_t side = 256;
    for (int f = 0; f < 6; ++f) {
        if (!imageops_detail::make_image(
                faces[f], image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8),
                faces[f].store, side, side))
            return false;
    }
    for (int f = 0; f < 6; ++f) {
        uint64_t stride = faces[f].rowsize();
        for (uint32_t t = 0; t < side; ++t) {
            unsigned char* out = faces[f].begin() + t * stride;
            float tc = 2 * (t + 0.5f) / side - 1;
            for (uint32_t s = 0; s < side; ++s, out += 3) {
                float sc = 2 * (s + 0.5f) / side - 1;
                direction3_t n = Normalize(face_direction(f, sc, tc));
                out[0] = (unsigned char)libutils::f2sc(n.x);
                out[1] = (unsigned char)libutils::f2sc(n.y);
                out[2] = (unsigned char)libutils::f2sc(n.z);
            }
        }
    }
    return true;
}

}  // namespace libgr

// 4x4 transformations as OpenGL builds them (glRotatef, glScalef,
// glTranslatef, glMultMatrixf), on matrix3w_t in OpenGL's column order, and
// the pieces the viewer takes back out of a view matrix: the uniform scale
// (through the determinant) and the rotation (angle and axis). No OpenGL
// calls: these are plain arithmetic, usable without a context.
#pragma once

#include "libgr/image/vecmath.h"

namespace libgr {

struct rotation3_t {
    float angle = 0;  // degrees, counter-clockwise about the axis
    float x = 0, y = 0, z = 1;
};

// The matrix glRotatef(degrees, x, y, z) multiplies by (axis normalised; a
// zero axis gives the identity).
matrix3w_t rotation_matrix(float degrees, float x, float y, float z);
matrix3w_t scale_matrix(float sx, float sy, float sz);
matrix3w_t translation_matrix(float x, float y, float z);

// a followed by glMultMatrixf(b): the product a.b in OpenGL's sense.
matrix3w_t gl_multiply(const matrix3w_t& a, const matrix3w_t& b);

// Determinant of the upper-left 3x3 part (the volume scale of the matrix).
float determinant3(const matrix3w_t& m);

// The rotation of a matrix whose upper-left 3x3 part is a rotation (angle in
// 0..180 degrees; the z axis when there is no rotation).
rotation3_t extract_rotation(const matrix3w_t& m);

// Every element within `tolerance` of the other's.
bool nearly_equal(const matrix3w_t& a, const matrix3w_t& b, float tolerance = 1e-5f);

}  // namespace libgr

#include "libgr/image/matrixops.h"

#include <algorithm>
#include <cmath>

namespace libgr {

namespace {

const double s_pi = 3.14159265358979323846;

// Element (row r, column c) in OpenGL's column-major storage.
float& at(matrix3w_t& m, int r, int c) { return m[c][r]; }
float at(const matrix3w_t& m, int r, int c) { return m[c][r]; }

}  // namespace

matrix3w_t rotation_matrix(float degrees, float x, float y, float z) {
    matrix3w_t m;
    double len = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (len == 0) return m;
    double ax = x / len, ay = y / len, az = z / len;
    double rad = degrees * s_pi / 180.0;
    double c = std::cos(rad), s = std::sin(rad), t = 1 - c;
    at(m, 0, 0) = float(ax * ax * t + c);
    at(m, 0, 1) = float(ax * ay * t - az * s);
    at(m, 0, 2) = float(ax * az * t + ay * s);
    at(m, 1, 0) = float(ay * ax * t + az * s);
    at(m, 1, 1) = float(ay * ay * t + c);
    at(m, 1, 2) = float(ay * az * t - ax * s);
    at(m, 2, 0) = float(az * ax * t - ay * s);
    at(m, 2, 1) = float(az * ay * t + ax * s);
    at(m, 2, 2) = float(az * az * t + c);
    return m;
}

matrix3w_t scale_matrix(float sx, float sy, float sz) {
    matrix3w_t m;
    at(m, 0, 0) = sx;
    at(m, 1, 1) = sy;
    at(m, 2, 2) = sz;
    return m;
}

matrix3w_t translation_matrix(float x, float y, float z) {
    matrix3w_t m;
    m[3] = vector3w_t(x, y, z, 1);
    return m;
}

matrix3w_t gl_multiply(const matrix3w_t& a, const matrix3w_t& b) {
    matrix3w_t out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += double(at(a, r, k)) * at(b, k, c);
            at(out, r, c) = float(sum);
        }
    return out;
}

float determinant3(const matrix3w_t& m) {
    double a = at(m, 0, 0), b = at(m, 0, 1), c = at(m, 0, 2);
    double d = at(m, 1, 0), e = at(m, 1, 1), f = at(m, 1, 2);
    double g = at(m, 2, 0), h = at(m, 2, 1), i = at(m, 2, 2);
    return float(a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g));
}

rotation3_t extract_rotation(const matrix3w_t& m) {
    rotation3_t r;
    double trace = double(at(m, 0, 0)) + at(m, 1, 1) + at(m, 2, 2);
    double cosine = std::clamp((trace - 1) / 2, -1.0, 1.0);
    double angle = std::acos(cosine);
    double x = at(m, 2, 1) - at(m, 1, 2), y = at(m, 0, 2) - at(m, 2, 0),
           z = at(m, 1, 0) - at(m, 0, 1);
    double len = std::sqrt(x * x + y * y + z * z);
    if (len > 1e-6) {
        x /= len, y /= len, z /= len;
    } else if (cosine < 0) {
        // A half turn: the axis is the column of the largest diagonal element
        // of (R + I) / 2, which is the outer product of the axis with itself.
        int k = 0;
        for (int j = 1; j < 3; ++j)
            if (at(m, j, j) > at(m, k, k)) k = j;
        double v[3];
        for (int j = 0; j < 3; ++j) v[j] = (at(m, j, k) + (j == k ? 1.0 : 0.0)) / 2;
        double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        x = v[0] / n, y = v[1] / n, z = v[2] / n;
    } else {
        return r;
    }
    r.angle = float(angle * 180.0 / s_pi);
    r.x = float(x), r.y = float(y), r.z = float(z);
    return r;
}

bool nearly_equal(const matrix3w_t& a, const matrix3w_t& b, float tolerance) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::fabs(a[i][j] - b[i][j]) > tolerance) return false;
    return true;
}

}  // namespace libgr

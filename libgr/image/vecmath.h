// Small value types and numeric helpers: float comparison with a tolerance,
// 3-vectors, a 4x4 matrix in OpenGL's order, grid snapping and easing curves.
#pragma once

#include <cstdint>

namespace libgr {

// Pixel sizes (a movie's width and height, for instance).
struct direction2ul_t {
    uint32_t x = 0, y = 0;

    direction2ul_t() = default;
    direction2ul_t(uint32_t x_, uint32_t y_) : x(x_), y(y_) {}
    bool operator!=(const direction2ul_t& o) const { return x != o.x || y != o.y; }
    bool operator==(const direction2ul_t& o) const { return !(*this != o); }
    bool operator!=(uint32_t v) const { return x != v || y != v; }
    direction2ul_t& operator/=(uint32_t v) {
        x /= v;
        y /= v;
        return *this;
    }
};

extern const direction2ul_t datum2ul;  // (0, 0)

struct direction2l_t {
    int32_t x = 0, y = 0;

    direction2l_t() = default;
    direction2l_t(int32_t x_, int32_t y_) : x(x_), y(y_) {}
    bool operator!=(const direction2l_t& o) const { return x != o.x || y != o.y; }
    bool operator==(const direction2l_t& o) const { return !(*this != o); }
    bool operator!=(int32_t v) const { return x != v || y != v; }
    direction2l_t& operator/=(int32_t v) {
        x /= v;
        y /= v;
        return *this;
    }
    direction2l_t& operator+=(const direction2l_t& o) {
        x += o.x;
        y += o.y;
        return *this;
    }
};

struct direction3_t {
    float x = 0, y = 0, z = 0;

    direction3_t() = default;
    direction3_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

struct position3_t {
    float x = 0, y = 0, z = 0;

    position3_t() = default;
    position3_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

struct vector3w_t {
    float x = 0, y = 0, z = 0, w = 0;

    vector3w_t() = default;
    vector3w_t(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }
};

// Four vectors of four floats in the order glLoadMatrixf takes; a row vector
// (x, y, z) maps to out[j] = x*m[0][j] + y*m[1][j] + z*m[2][j] + m[3][j].
struct matrix3w_t {
    vector3w_t m[4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    matrix3w_t() = default;
    matrix3w_t(const vector3w_t& a, const vector3w_t& b, const vector3w_t& c, const vector3w_t& d)
        : m{a, b, c, d} {}
    vector3w_t& operator[](int i) { return m[i]; }
    const vector3w_t& operator[](int i) const { return m[i]; }
    const float* data() const { return &m[0].x; }
    float* data() { return &m[0].x; }
};

// Small sums of pixel values.
struct position3ul_t {
    uint32_t x = 0, y = 0, z = 0;
};
struct vector3wul_t {
    uint32_t x = 0, y = 0, z = 0, w = 0;
};

// --- comparison -----------------------------------------------------------

bool compare(float a, float b);  // |a - b| <= 0.00002
bool compare(float a, float b, float c);
inline bool cmp_lt(float a, float b) {
    return a < b;
}
inline bool cmp_gt(float a, float b) {
    return a > b;
}
inline bool cmp_le(float a, float b) {
    return a <= b;
}
inline bool cmp_ge(float a, float b) {
    return a >= b;
}
bool operator==(const direction3_t& d, float v);

// --- vector arithmetic ------------------------------------------------------

inline direction3_t operator+(const direction3_t& a, const direction3_t& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline direction3_t operator-(const direction3_t& a, const direction3_t& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline direction3_t operator-(const direction3_t& a) {
    return {-a.x, -a.y, -a.z};
}
inline direction3_t operator*(const direction3_t& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline direction3_t operator/(const direction3_t& a, float s) {
    return {a.x / s, a.y / s, a.z / s};
}
inline position3_t operator+(const position3_t& p, const direction3_t& d) {
    return {p.x + d.x, p.y + d.y, p.z + d.z};
}
inline position3_t operator-(const position3_t& p, const direction3_t& d) {
    return {p.x - d.x, p.y - d.y, p.z - d.z};
}
inline direction3_t operator-(const position3_t& a, const position3_t& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float Length(const direction3_t& d);
direction3_t Normalize(const direction3_t& d);  // zero stays zero
position3_t Normalize(const position3_t& p);
float DotProduct(const direction3_t& a, const direction3_t& b);
direction3_t CrossProduct(const direction3_t& a, const direction3_t& b);
// (p1 - p0) x (p2 - p0)
direction3_t CrossProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2);
direction3_t CrossProductWithNormalize(const position3_t& p0, const position3_t& p1,
                                       const position3_t& p2);
// ((p1 - p0) x (p2 - p0)) . (p3 - p0)
float ScalarTriProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2,
                       const position3_t& p3);
// (a x b) . c
float ScalarTriProduct(const direction3_t& a, const direction3_t& b, const direction3_t& c);
float Total(const direction3_t& d);
position3_t SpecializeToPos(const vector3w_t& v);   // divided by w unless w is 0
direction3_t SpecializeToDir(const vector3w_t& v);  // normalised (x, y, z)

// Row vector times matrix (translation row included).
vector3w_t operator*(const vector3w_t& v, const matrix3w_t& m);
direction3_t operator*(const direction3_t& v, const matrix3w_t& m);
matrix3w_t operator*(const matrix3w_t& a, const matrix3w_t& b);

// --- grid snapping ------------------------------------------------------------

float round_to_quotient(float v, float q);    // truncated multiple of q
float roundup_to_quotient(float v, float q);  // next multiple of q at or above
position3_t round_to_quotient(const position3_t& v, float q);
position3_t roundup_to_quotient(const position3_t& v, float q);
direction3_t round_to_quotient(const direction3_t& v, float q);
direction3_t roundup_to_quotient(const direction3_t& v, float q);
position3_t round_to_quotient(const position3_t& v, const direction3_t& q);
position3_t roundup_to_quotient(const position3_t& v, const direction3_t& q);
direction3_t round_to_quotient(const direction3_t& v, const direction3_t& q);
direction3_t roundup_to_quotient(const direction3_t& v, const direction3_t& q);

// --- easing on 0..1 -------------------------------------------------------------

float fade(float x);          // cos(x pi/2)
float cosine_slope(float x);  // (cos((x - 1) pi) + 1) / 2
float slope(float x);         // cosine_slope
float sine_slope(float x);    // |sin((x - 0.5) pi) + 1| / 2

}  // namespace libgr

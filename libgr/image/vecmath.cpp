#include "libgr/image/vecmath.h"

#include <cmath>

namespace libgr {

const direction2ul_t datum2ul(0, 0);

namespace {
const float k_tolerance = 0.00002f;
const float k_pi = 3.14159265358979f;
}  // namespace

bool compare(float a, float b) {
    return std::fabs(a - b) <= k_tolerance;
}

bool compare(float a, float b, float c) {
    return compare(a, b) && compare(b, c) && compare(a, c);
}

bool operator==(const direction3_t& d, float v) {
    return compare(d.x, v) && compare(d.y, v) && compare(d.z, v);
}

float Length(const direction3_t& d) {
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

direction3_t Normalize(const direction3_t& d) {
    float len = Length(d);
    if (len == 0) return direction3_t();
    return d / len;
}

position3_t Normalize(const position3_t& p) {
    direction3_t n = Normalize(direction3_t(p.x, p.y, p.z));
    return {n.x, n.y, n.z};
}

float DotProduct(const direction3_t& a, const direction3_t& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

direction3_t CrossProduct(const direction3_t& a, const direction3_t& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

direction3_t CrossProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2) {
    return CrossProduct(p1 - p0, p2 - p0);
}

direction3_t CrossProductWithNormalize(const position3_t& p0, const position3_t& p1,
                                       const position3_t& p2) {
    return Normalize(CrossProduct(p0, p1, p2));
}

float ScalarTriProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2,
                       const position3_t& p3) {
    return DotProduct(CrossProduct(p0, p1, p2), p3 - p0);
}

float ScalarTriProduct(const direction3_t& a, const direction3_t& b, const direction3_t& c) {
    return DotProduct(CrossProduct(a, b), c);
}

float Total(const direction3_t& d) {
    return d.x + d.y + d.z;
}

position3_t SpecializeToPos(const vector3w_t& v) {
    if (v.w == 0) return {v.x, v.y, v.z};
    return {v.x / v.w, v.y / v.w, v.z / v.w};
}

direction3_t SpecializeToDir(const vector3w_t& v) {
    return Normalize(direction3_t(v.x, v.y, v.z));
}

vector3w_t operator*(const vector3w_t& v, const matrix3w_t& m) {
    vector3w_t out;
    for (int j = 0; j < 4; ++j)
        out[j] = v.x * m[0][j] + v.y * m[1][j] + v.z * m[2][j] + v.w * m[3][j];
    return out;
}

direction3_t operator*(const direction3_t& v, const matrix3w_t& m) {
    vector3w_t r = vector3w_t(v.x, v.y, v.z, 1) * m;
    return {r.x, r.y, r.z};
}

matrix3w_t operator*(const matrix3w_t& a, const matrix3w_t& b) {
    matrix3w_t out;
    for (int i = 0; i < 4; ++i) out[i] = a[i] * b;
    return out;
}

float round_to_quotient(float v, float q) {
    return std::trunc(v * (1.0f / q)) * q;
}

float roundup_to_quotient(float v, float q) {
    float r = round_to_quotient(v, q);
    return r < v ? r + q : r;
}

position3_t round_to_quotient(const position3_t& v, float q) {
    return {round_to_quotient(v.x, q), round_to_quotient(v.y, q), round_to_quotient(v.z, q)};
}
position3_t roundup_to_quotient(const position3_t& v, float q) {
    return {roundup_to_quotient(v.x, q), roundup_to_quotient(v.y, q), roundup_to_quotient(v.z, q)};
}
direction3_t round_to_quotient(const direction3_t& v, float q) {
    return {round_to_quotient(v.x, q), round_to_quotient(v.y, q), round_to_quotient(v.z, q)};
}
direction3_t roundup_to_quotient(const direction3_t& v, float q) {
    return {roundup_to_quotient(v.x, q), roundup_to_quotient(v.y, q), roundup_to_quotient(v.z, q)};
}
position3_t round_to_quotient(const position3_t& v, const direction3_t& q) {
    return {round_to_quotient(v.x, q.x), round_to_quotient(v.y, q.y), round_to_quotient(v.z, q.z)};
}
position3_t roundup_to_quotient(const position3_t& v, const direction3_t& q) {
    return {roundup_to_quotient(v.x, q.x), roundup_to_quotient(v.y, q.y),
            roundup_to_quotient(v.z, q.z)};
}
direction3_t round_to_quotient(const direction3_t& v, const direction3_t& q) {
    return {round_to_quotient(v.x, q.x), round_to_quotient(v.y, q.y), round_to_quotient(v.z, q.z)};
}
direction3_t roundup_to_quotient(const direction3_t& v, const direction3_t& q) {
    return {roundup_to_quotient(v.x, q.x), roundup_to_quotient(v.y, q.y),
            roundup_to_quotient(v.z, q.z)};
}

float fade(float x) {
    return std::cos(x * k_pi / 2);
}

float cosine_slope(float x) {
    return (std::cos((x - 1) * k_pi) + 1) / 2;
}

float slope(float x) {
    return cosine_slope(x);
}

float sine_slope(float x) {
    return std::fabs(std::sin((x - 0.5f) * k_pi) + 1) / 2;
}

}  // namespace libgr

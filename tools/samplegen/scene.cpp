#include "scene.h"

#include <algorithm>
#include <cmath>

namespace samplegen {

namespace {

struct rgb_t {
    float r, g, b;
};

rgb_t mix(rgb_t a, rgb_t b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Cheap repeatable noise: a hash of the coordinates and the seed.
float hash_noise(unsigned x, unsigned y, unsigned seed) {
    unsigned h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return (float)((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// Smooth value noise for hills, clouds and foliage (0..1).
float smooth_noise(float x, float y, unsigned seed) {
    int xi = (int)std::floor(x), yi = (int)std::floor(y);
    float fx = x - (float)xi, fy = y - (float)yi;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float a = hash_noise(xi, yi, seed), b = hash_noise(xi + 1, yi, seed);
    float c = hash_noise(xi, yi + 1, seed), d = hash_noise(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float fractal(float x, float y, unsigned seed) {
    float sum = 0, amp = 0.5f;
    for (int o = 0; o < 4; ++o) {
        sum += amp * smooth_noise(x, y, seed + o);
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum;
}

// Scene colour at (u, v) in 0..1 (v = 0 at the top).
rgb_t landscape(float u, float v, float aspect, unsigned seed) {
    const rgb_t sky_top{0.20f, 0.42f, 0.80f}, sky_low{0.75f, 0.86f, 0.95f};
    rgb_t c = mix(sky_top, sky_low, v / 0.55f);
    float cloud = fractal(u * 6 * aspect, v * 10, seed);
    if (v < 0.45f) c = mix(c, rgb_t{0.97f, 0.97f, 0.97f}, (cloud - 0.55f) * 3);
    float du = (u - 0.72f) * aspect, dv = v - 0.18f;
    if (du * du + dv * dv < 0.004f) c = {1.0f, 0.95f, 0.75f};
    float far = 0.50f - 0.10f * fractal(u * 3 * aspect, 1.5f, seed + 7);
    float near = 0.62f - 0.08f * fractal(u * 5 * aspect, 4.5f, seed + 11);
    if (v > far) c = mix(rgb_t{0.38f, 0.45f, 0.60f}, rgb_t{0.30f, 0.40f, 0.45f}, (v - far) * 4);
    if (v > near) {
        float grass = fractal(u * 40 * aspect, v * 40, seed + 3);
        c = mix(rgb_t{0.25f, 0.50f, 0.18f}, rgb_t{0.45f, 0.62f, 0.20f}, grass);
    }
    if (v > 0.80f) c = mix(c, rgb_t{0.55f, 0.45f, 0.30f}, (v - 0.80f) * 3);
    return c;
}

rgb_t harbour(float u, float v, float aspect, unsigned seed) {
    rgb_t c = mix(rgb_t{0.10f, 0.10f, 0.30f}, rgb_t{0.95f, 0.55f, 0.30f}, v / 0.6f);
    float skyline =
        0.45f + 0.15f * std::floor(hash_noise((unsigned)(u * 30 * aspect), 1, seed) * 4) / 4;
    if (v > skyline && v < 0.65f) {
        c = {0.08f, 0.08f, 0.12f};
        float wx = std::fmod(u * 200 * aspect, 1.0f), wy = std::fmod(v * 120, 1.0f);
        if (wx > 0.4f && wy > 0.4f &&
            hash_noise((unsigned)(u * 200 * aspect), (unsigned)(v * 120), seed) > 0.6f)
            c = {1.0f, 0.85f, 0.45f};
    }
    if (v >= 0.65f) {
        float wave = 0.5f + 0.5f * std::sin(v * 300 + fractal(u * 20 * aspect, v * 5, seed) * 6);
        c = mix(rgb_t{0.05f, 0.08f, 0.20f}, rgb_t{0.80f, 0.45f, 0.25f}, wave * (1.2f - v));
    }
    return c;
}

rgb_t flowers(float u, float v, float aspect, unsigned seed) {
    rgb_t c = mix(rgb_t{0.15f, 0.35f, 0.10f}, rgb_t{0.30f, 0.55f, 0.15f},
                  fractal(u * 30 * aspect, v * 30, seed));
    float cells = 14;
    float cx = u * cells * aspect, cy = v * cells;
    int ix = (int)cx, iy = (int)cy;
    float px = 0.5f + 0.3f * (hash_noise(ix, iy, seed) - 0.5f);
    float py = 0.5f + 0.3f * (hash_noise(ix, iy, seed + 1) - 0.5f);
    float dx = cx - (float)ix - px, dy = cy - (float)iy - py;
    float r = std::sqrt(dx * dx + dy * dy);
    float angle = std::atan2(dy, dx);
    float petal = 0.28f + 0.08f * std::cos(angle * 5);
    static const rgb_t palette[] = {
        {0.95f, 0.20f, 0.30f}, {0.98f, 0.85f, 0.20f}, {0.85f, 0.40f, 0.90f}, {1.0f, 1.0f, 1.0f}};
    if (r < petal) c = palette[(unsigned)(hash_noise(ix, iy, seed + 2) * 4) & 3];
    if (r < 0.08f) c = {0.95f, 0.70f, 0.10f};
    return c;
}

rgb_t forest(float u, float v, float aspect, unsigned seed) {
    rgb_t c = mix(rgb_t{0.70f, 0.85f, 0.95f}, rgb_t{0.85f, 0.92f, 0.90f}, v);
    for (int layer = 0; layer < 3; ++layer) {
        float spacing = 12.0f + 8.0f * (float)layer;
        float x = u * spacing * aspect;
        float local = x - std::floor(x) - 0.5f;
        float height = 0.25f + 0.1f * (float)layer + 0.1f * hash_noise((unsigned)x, layer, seed);
        float top = height + std::fabs(local) * 1.2f;
        if (v > top) {
            float shade = 0.6f - 0.15f * (float)layer;
            c = mix(rgb_t{0.05f, 0.20f * shade + 0.1f, 0.08f},
                    rgb_t{0.15f, 0.45f * shade + 0.1f, 0.12f},
                    fractal(u * 50 * aspect, v * 50, seed + layer));
        }
    }
    if (v > 0.85f) c = mix(c, rgb_t{0.35f, 0.25f, 0.15f}, (v - 0.85f) * 5);
    return c;
}

}  // namespace

const char* scene_name(e_scene_t s) {
    switch (s) {
        case scene_landscape:
            return "landscape";
        case scene_harbour:
            return "harbour";
        case scene_flowers:
            return "flowers";
        case scene_forest:
            return "forest";
        default:
            return "scene";
    }
}

std::vector<unsigned char> render_scene(e_scene_t s, int width, int height, unsigned seed) {
    std::vector<unsigned char> out((size_t)width * height * 3);
    float aspect = (float)width / (float)height;
    for (int y = 0; y < height; ++y) {
        float v = ((float)y + 0.5f) / (float)height;
        unsigned char* row = &out[(size_t)y * width * 3];
        for (int x = 0; x < width; ++x) {
            float u = ((float)x + 0.5f) / (float)width;
            rgb_t c;
            switch (s) {
                case scene_harbour:
                    c = harbour(u, v, aspect, seed);
                    break;
                case scene_flowers:
                    c = flowers(u, v, aspect, seed);
                    break;
                case scene_forest:
                    c = forest(u, v, aspect, seed);
                    break;
                default:
                    c = landscape(u, v, aspect, seed);
                    break;
            }
            float grain = (hash_noise(x, y, seed + 99) - 0.5f) * 0.10f;
            float ch[3] = {c.r + grain, c.g + grain, c.b + grain};
            for (int k = 0; k < 3; ++k)
                row[x * 3 + k] = (unsigned char)std::lround(std::clamp(ch[k], 0.0f, 1.0f) * 255);
        }
    }
    return out;
}

std::vector<unsigned char> turn_left(const std::vector<unsigned char>& rgb, int width, int height) {
    // Result is height wide and width high; source column width-1-y becomes
    // row y.
    std::vector<unsigned char> out(rgb.size());
    for (int y = 0; y < width; ++y)
        for (int x = 0; x < height; ++x)
            for (int k = 0; k < 3; ++k)
                out[((size_t)y * height + x) * 3 + k] =
                    rgb[((size_t)x * width + (width - 1 - y)) * 3 + k];
    return out;
}

std::vector<unsigned char> turn_right(const std::vector<unsigned char>& rgb, int width,
                                      int height) {
    std::vector<unsigned char> out(rgb.size());
    for (int y = 0; y < width; ++y)
        for (int x = 0; x < height; ++x)
            for (int k = 0; k < 3; ++k)
                out[((size_t)y * height + x) * 3 + k] =
                    rgb[((size_t)(height - 1 - x) * width + y) * 3 + k];
    return out;
}

}  // namespace samplegen

// Procedural pictures for the sample photos: a landscape, a harbour at dusk,
// a flower bed and a forest, with a little sensor grain so that they encode
// to camera-like JPEG sizes.
#pragma once

#include <string>
#include <vector>

namespace samplegen {

enum e_scene_t { scene_landscape, scene_harbour, scene_flowers, scene_forest, scene_count };

const char* scene_name(e_scene_t s);

// RGB, rows top to bottom, width * 3 bytes a row, as the scene is seen
// upright.
std::vector<unsigned char> render_scene(e_scene_t s, int width, int height, unsigned seed);

// Turns RGB rows (top to bottom) a quarter turn counter-clockwise or
// clockwise: what a camera held sideways stores before its orientation tag
// (6 or 8) turns it upright again.
std::vector<unsigned char> turn_left(const std::vector<unsigned char>& rgb, int width, int height);
std::vector<unsigned char> turn_right(const std::vector<unsigned char>& rgb, int width, int height);

}  // namespace samplegen

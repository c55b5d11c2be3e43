// The arithmetic of the viewer's resize policies, without a window: the
// window size a picture asks for and the scale that fits a picture to a
// window. Sizes are framebuffer pixels; a picture's size has its width and
// height exchanged by the caller when it is turned by an odd quarter turn.
#pragma once

#include "glimlib/option.h"
#include "libgr/image/vecmath.h"

namespace glimvue2 {

// The largest window side asked for; beyond it no window system or GL
// viewport follows.
constexpr int32_t MAX_WINDOW_SIDE = 16384;

// picture x window_ratio_of_image, truncated and kept within 0..16384 (a
// ratio that is not a finite number asks for nothing).
libgr::direction2l_t wanted_window_size(const libgr::direction2l_t& image, float ratio);

// Per axis: `wanted`, limited when it grows (resize_magnify) or shrinks
// (resize_shrink) by sizelimit: 2 -> maxsize, 1 -> `screen` minus maxmargin,
// 0 -> no limit.
libgr::direction2l_t calc_window_size(const libgr::direction2l_t& wanted,
                                      const libgr::direction2l_t& current,
                                      const glimlib::option_t& o,
                                      const libgr::direction2l_t& screen);

// ratio / s, where s is the larger of image / window over the two axes
// (1 on an axis where both are equal, that axis left out when the window
// side is not positive); 0 when s is 0.
float fit_scale(const libgr::direction2l_t& image, const libgr::direction2l_t& window,
                float ratio);

}  // namespace glimvue2

#include "glimvue/resizepolicy.h"

#include <algorithm>
#include <cmath>

namespace glimvue2 {

namespace {

int32_t scaled_side(int32_t side, float ratio) {
    double v = double(side) * double(ratio);
    if (!std::isfinite(v) || v <= 0) return 0;
    return int32_t(std::min(v, double(MAX_WINDOW_SIDE)));
}

int32_t limit_axis(int32_t wanted, int32_t current, const glimlib::option_t& o,
                   int32_t maxsize, int32_t screen_room) {
    bool limited = (wanted > current && o.resize_magnify) || (wanted < current && o.resize_shrink);
    if (!limited) return wanted;
    if (o.sizelimit == 2) return std::min(wanted, maxsize);
    if (o.sizelimit == 1) return std::min(wanted, screen_room);
    return wanted;
}

}  // namespace

libgr::direction2l_t wanted_window_size(const libgr::direction2l_t& image, float ratio) {
    return libgr::direction2l_t(scaled_side(image.x, ratio), scaled_side(image.y, ratio));
}

libgr::direction2l_t calc_window_size(const libgr::direction2l_t& wanted,
                                      const libgr::direction2l_t& current,
                                      const glimlib::option_t& o,
                                      const libgr::direction2l_t& screen) {
    return libgr::direction2l_t(
        limit_axis(wanted.x, current.x, o, o.maxsize.x, screen.x - o.maxmargin.x),
        limit_axis(wanted.y, current.y, o, o.maxsize.y, screen.y - o.maxmargin.y));
}

float fit_scale(const libgr::direction2l_t& image, const libgr::direction2l_t& window,
                float ratio) {
    float s = 0;
    const int32_t im[2] = {image.x, image.y}, win[2] = {window.x, window.y};
    for (int i = 0; i < 2; ++i) {
        if (win[i] <= 0) continue;
        float q = im[i] == win[i] ? 1.0f : float(im[i]) / float(win[i]);
        s = std::max(s, q);
    }
    return s == 0 ? 0 : ratio / s;
}

}  // namespace glimvue2

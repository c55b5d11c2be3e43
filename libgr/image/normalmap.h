// Normal maps for the viewer's bump-mapped photo frame.
#pragma once

#include "libgr/image/image.h"

namespace libgr {

// A height map (8-bit grey) to a normal map (signed RGB bytes), wrapping at
// the right and top edges. An RGB map is shared as it is. The float is not
// used.
bool heightmap2normalmap(image2d_t& dst, const image2d_t& src, float scale);

// Six 256x256 faces (+X, -X, +Y, -Y, +Z, -Z) whose texels hold the unit
// direction from the cube's centre through them, as OpenGL samples a cube map.
bool makenormalcubemap(image2d_t faces[6]);

}  // namespace libgr

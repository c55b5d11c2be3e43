#include "libgr/imagefile/imageobject.h"

namespace libgr {

bool image_object_t::save(const image2d_t&, const char*) {
    return false;
}

}  // namespace libgr

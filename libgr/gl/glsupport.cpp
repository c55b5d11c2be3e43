#include "libgr/gl/glsupport.h"

namespace libgr {

gl_support_t g_glsupport;

}  // namespace libgr

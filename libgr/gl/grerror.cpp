#include "libgr/gl/grerror.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iostream>

#include "libutils/error.h"

namespace libgr {


bool grPrintError(const char* step) {
    GLenum code = glGetError();
    if (code == GL_NO_ERROR) return false;
    const GLubyte* text = gluErrorString(code);
    const char* what = text ? reinterpret_cast<const char*>(text) : "unknown error";
    if (step)
        libutils::report(std::cerr, step, ": Error ", code, ": ", what);
    else
        libutils::report(std::cerr, "Error ", code, ": ", what);
    return true;
}

}  // namespace libgr

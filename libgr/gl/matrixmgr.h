// Scoped pushes of OpenGL's matrix stacks. grMatrixPusher(mode) switches to
// `mode` (0: the current mode), pushes its matrix and undoes both when it
// goes out of scope. Each of the four stacks (model-view, projection,
// texture, colour) has one process-wide manager; in enhance mode a push that
// would overflow the GL stack saves the matrix in the manager's software
// stack instead, so deep trees keep drawing correctly. Enhance mode starts
// off; an unknown mode prints "<mode>: unknown enum! fall back to modelview."
// on standard output and uses the model-view stack.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "libgr/image/vecmath.h"

namespace libgr {

// Switches the matrix mode and switches back on destruction (only when it
// had to change it).
class grMatrixModeKeeper {
    GLint m_previous = 0;
    bool m_changed = false;

  public:
    explicit grMatrixModeKeeper(GLenum mode);
    ~grMatrixModeKeeper();
    grMatrixModeKeeper(const grMatrixModeKeeper&) = delete;
    grMatrixModeKeeper& operator=(const grMatrixModeKeeper&) = delete;
};

class grMatrixPusher {
  public:
    struct grMatrixManager {
        GLenum mode;
        GLenum max_depth_query, depth_query, matrix_query;
        GLint limit = 0;  // 0: no check, always glPushMatrix
        std::vector<matrix3w_t> stack;

        // True when the matrix went to the software stack.
        bool push();
        void pop(bool software);
    };

    explicit grMatrixPusher(GLenum mode = GL_MODELVIEW);
    ~grMatrixPusher();
    grMatrixPusher(const grMatrixPusher&) = delete;
    grMatrixPusher& operator=(const grMatrixPusher&) = delete;

    static grMatrixManager& getMatrixManager(GLenum mode);
    static void setEnhanceMode(bool on);
    static bool getEnhanceMode();

  private:
    grMatrixModeKeeper m_keeper;
    grMatrixManager& m_manager;
    bool m_software;
};

// glBegin on construction, glEnd on destruction.
class grBeginner {
  public:
    explicit grBeginner(GLenum primitive) { glBegin(primitive); }
    ~grBeginner() { glEnd(); }
    grBeginner(const grBeginner&) = delete;
    grBeginner& operator=(const grBeginner&) = delete;
};

}  // namespace libgr

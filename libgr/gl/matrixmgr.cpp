#include "libgr/gl/matrixmgr.h"

#include <GL/glext.h>

#include <iostream>

namespace libgr {

namespace {

grMatrixPusher::grMatrixManager s_managers[4] = {
    {GL_MODELVIEW, GL_MAX_MODELVIEW_STACK_DEPTH, GL_MODELVIEW_STACK_DEPTH, GL_MODELVIEW_MATRIX, 0, {}},
    {GL_PROJECTION, GL_MAX_PROJECTION_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH,
     GL_PROJECTION_MATRIX, 0, {}},
    {GL_TEXTURE, GL_MAX_TEXTURE_STACK_DEPTH, GL_TEXTURE_STACK_DEPTH, GL_TEXTURE_MATRIX, 0, {}},
    {GL_COLOR, GL_MAX_COLOR_MATRIX_STACK_DEPTH, GL_COLOR_MATRIX_STACK_DEPTH, GL_COLOR_MATRIX, 0, {}},
};

bool s_enhance = false;

GLenum current_mode() {
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    return GLenum(mode);
}

}  // namespace

grMatrixModeKeeper::grMatrixModeKeeper(GLenum mode) {
    glGetIntegerv(GL_MATRIX_MODE, &m_previous);
    if (mode != 0 && GLenum(m_previous) != mode) {
        glMatrixMode(mode);
        m_changed = true;
    }
}

grMatrixModeKeeper::~grMatrixModeKeeper() {
    if (m_changed) glMatrixMode(GLenum(m_previous));
}

bool grMatrixPusher::grMatrixManager::push() {
    if (limit != 0) {
        GLint depth = 0;
        glGetIntegerv(depth_query, &depth);
        if (depth >= limit) {
            matrix3w_t m;
            glGetFloatv(matrix_query, m.data());
            stack.push_back(m);
            return true;
        }
    }
    glPushMatrix();
    return false;
}

void grMatrixPusher::grMatrixManager::pop(bool software) {
    if (!software) {
        glPopMatrix();
        return;
    }
    if (stack.empty()) return;
    glLoadMatrixf(stack.back().data());
    stack.pop_back();
}

grMatrixPusher::grMatrixManager& grMatrixPusher::getMatrixManager(GLenum mode) {
    if (mode == 0) mode = current_mode();
    for (auto& m : s_managers)
        if (m.mode == mode) return m;
    std::cout << mode << ": unknown enum! fall back to modelview." << std::endl;
    return s_managers[0];
}

grMatrixPusher::grMatrixPusher(GLenum mode)
    : m_keeper(mode), m_manager(getMatrixManager(mode)), m_software(m_manager.push()) {}

grMatrixPusher::~grMatrixPusher() { m_manager.pop(m_software); }

void grMatrixPusher::setEnhanceMode(bool on) {
    s_enhance = on;
    for (auto& m : s_managers) {
        m.limit = 0;
        if (on) glGetIntegerv(m.max_depth_query, &m.limit);
    }
}

bool grMatrixPusher::getEnhanceMode() { return s_enhance; }

}  // namespace libgr

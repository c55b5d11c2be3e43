#include "libgr/gl/nodes.h"

#include <cmath>

#include "libgr/gl/grerror.h"
#include "libgr/gl/matrixmgr.h"

namespace libgr {

grObject3D::~grObject3D() = default;

void grTransformer::Draw() const {
    if (!m_object) return;
    grPrintError("grTransformer::Draw() - before MultMatrix()");
    glMultMatrixf(matrix.data());
    grPrintError("grTransformer::Draw() - after MultMatrix()");
    m_object->Draw();
    grPrintError("grTransformer::Draw() - after m_object->Draw()");
}

void grContainer::Draw() const {
    for (const grObject3D* o : m_objects) {
        grMatrixPusher push(GL_MODELVIEW);
        if (o) o->Draw();
    }
}

bool grDspListMgr::Generate() {
    if (m_generated) return true;
    m_name = glGenLists(1);
    m_generated = m_name != 0;
    return m_generated;
}

void grDspListMgr::Release() {
    if (m_generated) glDeleteLists(m_name, 1);
    m_generated = false;
}

bool grDspList::Preload(const grObject3D* object) {
    if (!m_mgr && !m_mgr.newobject()) return false;
    if (!m_mgr->Generate()) return false;
    glNewList(m_mgr->listname(), GL_COMPILE);
    if (object) object->Draw();
    glEndList();
    return true;
}

void grDspList::Unload() {
    if (m_mgr) m_mgr->Release();
}

void grDspList::Draw() const {
    if (isLoaded()) glCallList(m_mgr->listname());
}

void grRotater::Draw() const {
    if (!m_object) return;
    glRotatef(rotation.angle, rotation.x, rotation.y, rotation.z);
    m_object->Draw();
}

void grZoomer::setZoom(const direction3_t& e) {
    m_exponent = e;
    m_scale = {std::exp2(e.x), std::exp2(e.y), std::exp2(e.z)};
}

void grZoomer::addZoom(const direction3_t& d) { setZoom(m_exponent + d); }

void grZoomer::Draw() const {
    if (!m_object) return;
    glScalef(m_scale.x, m_scale.y, m_scale.z);
    m_object->Draw();
}

void grTranslater::Draw() const {
    if (!m_object) return;
    grPrintError("grTranslater::Draw() - before translate.");
    glTranslatef(offset.x, offset.y, offset.z);
    grPrintError("grTranslater::Draw() - after translate.");
    m_object->Draw();
    grPrintError("grTranslater::Draw() - after m_object->Draw().");
}

}  // namespace libgr

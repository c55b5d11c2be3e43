// The scene-graph nodes: small drawables over OpenGL's matrix stack and
// display lists. Nodes point to the nodes they draw and never own them; the
// owner keeps every node as a member and wires them together. All drawing
// happens with the caller's GL context current.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "libgr/image/matrixops.h"
#include "libgr/image/vecmath.h"
#include "libutils/refvector.h"

namespace libgr {

// The mark of "no such GL name" (the value of GL_INVALID_VALUE).
constexpr GLuint GR_NO_NAME = 1281;

class grDrawable3D {
  public:
    virtual void Draw() {}
    virtual ~grDrawable3D() = default;
    virtual void Draw() const {}
};

class grObject3D : public grDrawable3D {
  public:
    void Draw() override { static_cast<const grObject3D*>(this)->Draw(); }
    ~grObject3D() override = 0;
    void Draw() const override = 0;
};

// Multiplies the current matrix by its own (no push/pop), then draws the child.
class grTransformer : public grObject3D {
    const grObject3D* m_object = nullptr;

  public:
    matrix3w_t matrix;

    void setObject(const grObject3D* o) { m_object = o; }
    const grObject3D* getObject() const { return m_object; }
    ~grTransformer() override = default;
    using grObject3D::Draw;
    void Draw() const override;
};

// Draws each child inside its own model-view push/pop, so siblings never see
// each other's transformations; null children are skipped.
class grContainer : public grObject3D {
    std::vector<const grObject3D*> m_objects;

  public:
    void addObject(const grObject3D* o) { m_objects.push_back(o); }
    const grObject3D* getObject(size_t i) const {
        return i < m_objects.size() ? m_objects[i] : nullptr;
    }
    size_t size() const { return m_objects.size(); }
    void resize(size_t n) { m_objects.resize(n, nullptr); }
    void clear() { m_objects.clear(); }
    ~grContainer() override = default;
    using grObject3D::Draw;
    void Draw() const override;
};

// One display-list name, generated once.
class grDspListMgr {
    GLuint m_name = 0;
    bool m_generated = false;

  public:
    ~grDspListMgr() { Release(); }
    bool Generate();
    void Release();
    GLuint listname() const { return m_generated ? m_name : GR_NO_NAME; }
    bool isGenerated() const { return m_generated; }
};

// Records a subtree once and replays it; copies share the list name, and
// unloading any copy releases it for all.
class grDspList : public grObject3D {
    libutils::refobject<grDspListMgr> m_mgr;

  public:
    // Records `object` (nothing when null) into the list, generating the
    // name on first use; again re-records the same name.
    bool Preload(const grObject3D* object);
    void Unload();
    bool isLoaded() const { return m_mgr && m_mgr->isGenerated(); }
    GLuint listname() const { return m_mgr ? m_mgr->listname() : GR_NO_NAME; }
    ~grDspList() override = default;
    using grObject3D::Draw;
    void Draw() const override;
};

class grRotater : public grObject3D {
    const grObject3D* m_object = nullptr;

  public:
    rotation3_t rotation;

    void setObject(const grObject3D* o) { m_object = o; }
    const grObject3D* getObject() const { return m_object; }
    ~grRotater() override = default;
    using grObject3D::Draw;
    void Draw() const override;
};

// Scales by 2^exponent per axis; the exponent starts at 0 (scale 1).
class grZoomer : public grObject3D {
    const grObject3D* m_object = nullptr;
    direction3_t m_exponent;
    direction3_t m_scale{1, 1, 1};

  public:
    void setObject(const grObject3D* o) { m_object = o; }
    const grObject3D* getObject() const { return m_object; }
    void setZoom(const direction3_t& e);
    void addZoom(const direction3_t& d);
    const direction3_t& getScale() const { return m_scale; }
    ~grZoomer() override = default;
    using grObject3D::Draw;
    void Draw() const override;
};

class grTranslater : public grObject3D {
    const grObject3D* m_object = nullptr;

  public:
    position3_t offset;

    void setObject(const grObject3D* o) { m_object = o; }
    const grObject3D* getObject() const { return m_object; }
    ~grTranslater() override = default;
    using grObject3D::Draw;
    void Draw() const override;
};

}  // namespace libgr

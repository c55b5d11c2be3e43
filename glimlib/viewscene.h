// The view scene: the pictures the viewer has loaded, each with its own view
// transformation, and the drawing of the current one under a pixel-exact
// orthographic projection (one unit per framebuffer pixel, origin at the
// window's centre, shifted by half a pixel on an axis where the window and
// the picture differ in parity so that picture pixels land on framebuffer
// pixels). The view operations multiply the current picture's matrix M on
// the right and do nothing without a current picture. A missing file prints
// "<path>: image file not found." on the standard error stream.
#pragma once

#include <list>
#include <string>

#include "glimlib/viewframe.h"
#include "glimlib/viewobj.h"
#include "libgr/gl/nodes.h"
#include "libgr/image/matrixops.h"
#include "libgr/image/vecmath.h"

namespace glimlib {

class ViewScene {
  public:
    // One loaded picture and the nodes that draw it.
    struct obj_t {
        ViewObject viewobj;
        libgr::grDspList objdspl;  // records viewobj's drawing
        ViewFrame viewframe;
        // The frame, then the display list: the band is drawn first.
        libgr::grContainer container;
        libgr::grTransformer transformer;  // child: container; matrix: the view
        bool graph_made = false;

        obj_t() = default;
        obj_t(const obj_t&) = delete;
        obj_t& operator=(const obj_t&) = delete;
        ~obj_t();
        void make_graph(const std::string& data_dir);
        void free_graph();
    };

    ViewScene() = default;
    ViewScene(const ViewScene&) = delete;
    ViewScene& operator=(const ViewScene&) = delete;

    // --- pictures ---
    // With a cover size a large JPEG may come in reduced first (see
    // ViewObject::setImage); refine() then loads the current picture in full.
    bool addImage(const std::string& path, const std::string& data_dir, uint32_t cover_w = 0,
                  uint32_t cover_h = 0, decoded_picture_t* decoded = nullptr);
    bool current_reduced() const { return hasCurrent() && m_current->viewobj.reduced(); }
    void refine(const std::string& data_dir);
    // Removes the current picture; the next (or, after the last, the new
    // last) becomes current. False without a current picture.
    bool delImage();
    void setCurrent(size_t i);
    bool hasCurrent() const { return m_current != m_objs.end(); }
    size_t size() const { return m_objs.size(); }
    // The current picture's decoded size (0 x 0 without one).
    libgr::direction2l_t getCurrentImageSize() const;
    uint64_t rightrotatecount() const;
    bool is_resident() const;
    obj_t* current() { return hasCurrent() ? &*m_current : nullptr; }

    void make_graph(const std::string& data_dir);
    void free_graph();

    // --- view operations ---
    void Rotate(float degrees, float = 0);
    void Zoom(float power, float = 0);
    void Scale(float s, float = 0);
    void Move(const libgr::direction3_t& d, float = 0);
    void Matrix(const libgr::matrix3w_t& m);
    void Origin();
    void clrZoom();
    void clrRotate();
    void clrMove();
    libgr::matrix3w_t getMatrix() const;
    bool toggleSmooth();

    // --- drawing (GL context current) ---
    void Init(const std::string& data_dir);
    void Reshape(int width, int height);
    void Display() const;

    // The projection's half-pixel offset chosen by the last Reshape.
    float offset_x() const { return m_offset_x; }
    float offset_y() const { return m_offset_y; }

  private:
    std::list<obj_t> m_objs;
    libgr::grContainer m_root;
    std::list<obj_t>::iterator m_current = m_objs.end();
    float m_offset_x = 0, m_offset_y = 0;

    void multiply(const libgr::matrix3w_t& m);
    void rebuild_root();
};

}  // namespace glimlib

#include "glimlib/viewscene.h"

#include <sys/stat.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iostream>

#include "glimlib/option.h"
#include "libgr/gl/grerror.h"
#include "libutils/error.h"

namespace glimlib {

using libgr::grPrintError;
using libgr::matrix3w_t;

namespace {

const GLfloat s_gray18[4] = {0.18f, 0.18f, 0.18f, 1.0f};

// det(M)^(1/3), the uniform scale contained in M (1 when M is degenerate).
float uniform_scale(const matrix3w_t& m) {
    float det = libgr::determinant3(m);
    if (!(det > 0) || !std::isfinite(det)) return 1;
    return std::pow(det, 0.33333334f);
}

}  // namespace

// --- records ----------------------------------------------------------------------

ViewScene::obj_t::~obj_t() {
    free_graph();
}

void ViewScene::obj_t::make_graph(const std::string& data_dir) {
    if (graph_made) return;
    grPrintError("ViewScene::obj_t::make_graph() - before viewobj.load_texture().");
    viewobj.load_texture();
    grPrintError("ViewScene::obj_t::make_graph() - after viewobj.load_texture().");
    objdspl.Preload(&viewobj);
    grPrintError("ViewScene::obj_t::make_graph() - after objdspl.Preload().");
    viewframe.make_graph(data_dir);
    grPrintError("ViewScene::obj_t::make_graph() - after viewframe.make_graph().");
    graph_made = true;
}

void ViewScene::obj_t::free_graph() {
    if (!graph_made) return;
    viewframe.free_graph();
    objdspl.Unload();
    viewobj.free_texture();
    graph_made = false;
}

// --- pictures ---------------------------------------------------------------------

bool ViewScene::addImage(const std::string& path, const std::string& data_dir, uint32_t cover_w,
                         uint32_t cover_h, decoded_picture_t* decoded) {
    (void)data_dir;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return libutils::fail(std::cerr, path, ": image file not found.");
    bool had_current = hasCurrent();
    m_objs.emplace_back();
    obj_t& o = m_objs.back();
    if (!o.viewobj.setImage(path, cover_w, cover_h, decoded)) {
        m_objs.pop_back();
        if (!had_current) m_current = m_objs.end();
        return false;
    }
    o.viewframe.setFrameType(g_option.frametype);
    o.viewframe.setSize(o.viewobj.getImageSize(), g_option.framewidth);
    o.container.addObject(&o.viewframe);
    o.container.addObject(&o.objdspl);
    o.transformer.setObject(&o.container);
    m_root.addObject(&o.transformer);
    if (!had_current) m_current = m_objs.begin();
    Rotate(-90.0f * float(rightrotatecount()));
    return true;
}

void ViewScene::refine(const std::string& data_dir) {
    if (!current_reduced()) return;
    obj_t& o = *m_current;
    const bool shown = o.graph_made;
    o.free_graph();
    o.viewobj.refine();
    if (shown) o.make_graph(data_dir);
}

bool ViewScene::delImage() {
    if (!hasCurrent()) return false;
    m_current = m_objs.erase(m_current);
    if (m_current == m_objs.end() && !m_objs.empty()) m_current = std::prev(m_objs.end());
    rebuild_root();
    return true;
}

void ViewScene::rebuild_root() {
    m_root.clear();
    for (auto& o : m_objs) m_root.addObject(&o.transformer);
}

void ViewScene::setCurrent(size_t i) {
    m_current = m_objs.begin();
    for (size_t k = 0; k < i && m_current != m_objs.end(); ++k) ++m_current;
}

libgr::direction2l_t ViewScene::getCurrentImageSize() const {
    if (!hasCurrent()) return libgr::direction2l_t(0, 0);
    return m_current->viewobj.getImageSize();
}

uint64_t ViewScene::rightrotatecount() const {
    return hasCurrent() ? m_current->viewobj.rightrotatecount() : 0;
}

bool ViewScene::is_resident() const {
    for (const auto& o : m_objs)
        if (!o.viewobj.is_resident()) return false;
    return true;
}

void ViewScene::make_graph(const std::string& data_dir) {
    size_t i = 0;
    for (auto& o : m_objs) {
        if (g_option.debug) std::cerr << "ViewScene::make_graph() count= " << i << std::endl;
        o.make_graph(data_dir);
        ++i;
    }
}

void ViewScene::free_graph() {
    for (auto& o : m_objs) o.free_graph();
}

// --- view operations ------------------------------------------------------------------

void ViewScene::multiply(const matrix3w_t& m) {
    if (hasCurrent())
        m_current->transformer.matrix = libgr::gl_multiply(m_current->transformer.matrix, m);
}

void ViewScene::Rotate(float degrees, float) {
    multiply(libgr::rotation_matrix(degrees, 0, 0, 1));
}

void ViewScene::Zoom(float power, float) {
    float s = std::exp2(power);
    multiply(libgr::scale_matrix(s, s, s));
}

void ViewScene::Scale(float s, float) {
    multiply(libgr::scale_matrix(s, s, s));
}

void ViewScene::Move(const libgr::direction3_t& d, float) {
    multiply(libgr::translation_matrix(d.x, d.y, d.z));
}

void ViewScene::Matrix(const matrix3w_t& m) {
    multiply(m);
}

void ViewScene::Origin() {
    if (!hasCurrent()) return;
    m_current->transformer.matrix = matrix3w_t();
    Rotate(-90.0f * float(rightrotatecount()));
}

void ViewScene::clrZoom() {
    if (!hasCurrent()) return;
    float s = 1 / uniform_scale(m_current->transformer.matrix);
    Scale(s);
}

void ViewScene::clrRotate() {
    if (!hasCurrent()) return;
    const matrix3w_t& m = m_current->transformer.matrix;
    float s = 1 / uniform_scale(m);
    libgr::rotation3_t r =
        libgr::extract_rotation(libgr::gl_multiply(m, libgr::scale_matrix(s, s, s)));
    multiply(libgr::rotation_matrix(-r.angle, r.x, r.y, r.z));
}

void ViewScene::clrMove() {
    if (!hasCurrent()) return;
    const libgr::vector3w_t& t = m_current->transformer.matrix[3];
    multiply(libgr::translation_matrix(-t.x, -t.y, -t.z));
}

matrix3w_t ViewScene::getMatrix() const {
    return hasCurrent() ? m_current->transformer.matrix : matrix3w_t();
}

bool ViewScene::toggleSmooth() {
    if (!hasCurrent()) return false;
    obj_t& o = *m_current;
    o.viewobj.setMagSmooth(!o.viewobj.getMagSmooth());
    if (o.graph_made) o.objdspl.Preload(&o.viewobj);
    return o.viewobj.getMagSmooth();
}

// --- drawing ----------------------------------------------------------------------------

void ViewScene::Init(const std::string& data_dir) {
    if (g_option.debug) std::cerr << "gl_init" << std::endl;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
    glHint(GL_POINT_SMOOTH_HINT, GL_FASTEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glClearColor(s_gray18[0], s_gray18[1], s_gray18[2], s_gray18[3]);
    glClearDepth(1.0);
    grPrintError("end ViewScene::Init()");
    ViewFrame::init(data_dir);
    grPrintError("end ViewFrame::init()");
}

void ViewScene::Reshape(int width, int height) {
    if (g_option.debug) std::cerr << "ViewScene::Reshape()" << std::endl;
    GLint dims[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    if (dims[0] > 0) width = std::min(width, int(dims[0]));
    if (dims[1] > 0) height = std::min(height, int(dims[1]));
    glViewport(0, 0, width, height);
    float hx = float(width) * 0.5f, hy = float(height) * 0.5f;
    m_offset_x = m_offset_y = 0;
    if (hasCurrent()) {
        // The picture's extent on screen: a quarter-turned picture shows its
        // height across.
        libgr::direction2l_t s = getCurrentImageSize();
        if (rightrotatecount() % 2) std::swap(s.x, s.y);
        if ((width - s.x) % 2) m_offset_x = -0.5f;
        if ((height - s.y) % 2) m_offset_y = -0.5f;
        if (g_option.verbose)
            std::cout << "viewofs: " << m_offset_x << ", " << m_offset_y << std::endl;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(m_offset_x - hx, m_offset_x + hx, m_offset_y - hy, m_offset_y + hy, 0, 10000);
    glMatrixMode(GL_MODELVIEW);
}

void ViewScene::Display() const {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat position[4] = {-50, 50, 50, 1};
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, s_gray18);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, s_gray18);
    glLightfv(GL_LIGHT0, GL_SPECULAR, s_gray18);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 1.0f);
    glTranslatef(0, 0, -1000);
    if (!hasCurrent()) return;
    grPrintError("before Draw()");
    m_current->transformer.Draw();
    grPrintError("after Draw()");
}

}  // namespace glimlib

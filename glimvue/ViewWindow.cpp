#include "glimvue/ViewWindow.h"

#include <GLFW/glfw3.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>

#include "glimlib/message.h"
#include "glimlib/option.h"
#include "glimlib/stagetime.h"
#include "glimvue/bindings.h"
#include "glimvue/glextload.h"
#include "glimvue/resizepolicy.h"
#include "glimvue/vuefile.h"
#include "libgr/gl/glformat.h"
#include "libgr/imagefile/imagejpeg.h"
#include "libutils/error.h"
#include "libutils/path.h"

namespace glimvue2 {

using glimlib::g_option;
using libgr::direction2l_t;

uint32_t winwidth = 0, winheight = 0, winx = 0, winy = 0;

namespace {

std::ostream& operator<<(std::ostream& os, const direction2l_t& d) {
    return os << "dir2l(" << d.x << ", " << d.y << ")";
}

gems::glfwyMGR4* manager() {
    return gems::glfwyMGR4::getSingletonPtr();
}

// The primary monitor's work area (0 x 0 without one).
void work_area(int& x, int& y, int& w, int& h) {
    x = y = w = h = 0;
    if (GLFWmonitor* m = glfwGetPrimaryMonitor()) glfwGetMonitorWorkarea(m, &x, &y, &w, &h);
}

}  // namespace

ViewWindow::ViewWindow(int* argc, char** argv) {
    const std::string self = argv && argv[0] ? argv[0] : "glimvue3";
    m_progname = libutils::basename(self);
    m_progdir = libutils::dirname(self);
    glimlib::init_message(m_progdir, m_progname);
    glimlib::option_init();
    glimlib::option_load_user_default(m_progname, m_progdir);
    glimlib::option_enter_argument(*argc, argv);
    std::vector<std::string> words(argv + 1, argv + *argc);
    if (words.empty())
        m_list.setImagePath(".");
    else
        m_list.add_words(words);
    // A first word naming a picture file is decoded while the window is
    // made, to cover the window the options ask for (GLFW opens 640 x 480).
    struct stat st;
    if (!words.empty() && ::stat(words[0].c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        direction2l_t want = g_option.winsize.x > 0 && g_option.winsize.y > 0
                                 ? direction2l_t(g_option.winsize.x, g_option.winsize.y)
                                 : direction2l_t(640, 480);
        direction2l_t cover = first_look_cover(words[0], want);
        m_prefetch.start(words[0], uint32_t(cover.x), uint32_t(cover.y));
    }
}

ViewWindow::~ViewWindow() = default;

GLFWwindow* ViewWindow::window() const {
    return manager() ? manager()->win(this) : nullptr;
}

void ViewWindow::redisplay() {
    if (manager()) manager()->PostRedisplay();
}

bool ViewWindow::shift_held() const {
    GLFWwindow* w = window();
    return w && (glfwGetKey(w, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS ||
                 glfwGetKey(w, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS);
}

image_sink_t ViewWindow::sink() {
    return image_sink_t{[this] { m_scene.delImage(); },
                        [this](const std::string& p) {
                            direction2l_t cover = first_look_cover(p, get_window_size());
                            uint32_t w = uint32_t(cover.x), h = uint32_t(cover.y);
                            auto decoded = m_prefetch.take(p, w, h);
                            return m_scene.addImage(p, m_progdir, w, h, decoded.get());
                        }};
}

direction2l_t ViewWindow::first_look_cover(const std::string& path,
                                           const direction2l_t& window) const {
    // Only a picture shown whole in the window as it is (resize type 1, a
    // fresh view) can be drawn from fewer pixels at first.
    if (g_option.resizetype != 1 || !g_option.resetview) return direction2l_t(0, 0);
    vuefile_t saved;
    if (g_option.reproduce && saved.load(path)) return direction2l_t(0, 0);
    // The drawable may still have its first size while the asked one is
    // on its way: cover the larger.
    return direction2l_t(std::max(window.x, g_option.winsize.x),
                         std::max(window.y, g_option.winsize.y));
}

void ViewWindow::refine_now() {
    if (!m_refine_pending) return;
    m_refine_pending = false;
    m_scene.refine(m_progdir);
    redisplay();
}

void ViewWindow::idle() {
    refine_now();
}

// --- window events ------------------------------------------------------------------

void ViewWindow::init() {
    glimlib::stage_time("window");
    load_gl_extensions();
    m_scene.Init(m_progdir);
    GLFWwindow* w = window();
    if (w) {
        glfwSetWindowTitle(w, glimlib::make_title(glimlib::getmsg(0), glimlib::getmsg(1)).c_str());
        if (g_option.winsize.x > 0 && g_option.winsize.y > 0)
            glfwSetWindowSize(w, g_option.winsize.x, g_option.winsize.y);
        if (g_option.g.x < glimlib::OPTION_NO_POSITION)
            glfwSetWindowPos(w, g_option.g.x, g_option.g.y);
        if (g_option.wintype & 2) {
            g_option.wintype &= ~2;
            cmd_toggle_fill(0);
        }
    }
    if (initial_load()) show_current();
    if (manager()) manager()->KeyRepeat(true);
}

void ViewWindow::reshape(int w, int h) {
    if (w == 0 || h == 0) return;
    direction2l_t fb = get_window_size();
    m_pixelratio = direction2l_t(std::max(1, fb.x / w), std::max(1, fb.y / h));
    m_scene.Reshape(fb.x, fb.y);
    if (m_lastsize != 0) {
        if (g_option.resizetype == 1 && m_lastsize.y > 0) {
            float factor = float(fb.y) / float(m_lastsize.y);
            if (g_option.debug) std::cout << "re-shape scale factor is " << factor << std::endl;
            m_scene.Scale(factor);
        }
    } else if (g_option.debug) {
        std::cout << "oldwinsize is ZERO." << std::endl;
    }
    m_lastsize = fb;
    if (g_option.debug) std::cout << "newwinsize is " << fb << std::endl;
}

void ViewWindow::display() {
    m_scene.Display();
    if (m_scene.current_reduced() && !m_refine_pending) {
        m_refine_pending = true;
        glfwPostEmptyEvent();  // wakes the loop once this frame is shown
    }
    if (glimlib::stage_times_on() && m_drawn_timed < 2 && m_scene.hasCurrent()) {
        const bool reduced = m_scene.current_reduced();
        if (m_drawn_timed == 0 || !reduced) {
            glFinish();  // the drawing is measured, not queued
            glimlib::stage_time(m_drawn_timed == 0 ? "draw" : "full-draw");
            m_drawn_timed = reduced ? 1 : 2;
        }
    }
}

void ViewWindow::keyboard(unsigned char key, int, int) {
    refine_now();  // input acts on the full picture
    if (g_option.debug)
        std::cout << "key: 0x" << std::hex << int(key) << std::dec << " " << key << std::endl;
    dispatch(*this, g_key_bindings, key);
}

void ViewWindow::specialkey(int key, int, int) {
    refine_now();  // input acts on the full picture
    if (g_option.debug) std::cout << "spkey: 0x" << std::hex << key << std::dec << std::endl;
    dispatch(*this, g_special_bindings, key);
}

void ViewWindow::mouse(int button, int state, int x, int y) {
    refine_now();  // input acts on the full picture
    if (g_option.debug) std::cout << "mouse: button=" << button << ", state=" << state << std::endl;
    const float px = float(x * m_pixelratio.x), py = float(y * m_pixelratio.y);
    drag_t* drags[3] = {&m_pan, &m_zoom, &m_rotate};
    if (state == 1) {
        if (button >= 0 && button < 3) drags[button]->active = false;
        return;
    }
    if (button >= 0 && button < 3) drags[button]->x = px, drags[button]->y = py;
    dispatch(*this, g_button_bindings, button);
}

void ViewWindow::motion(int x, int y) {
    const float px = float(x * m_pixelratio.x), py = float(y * m_pixelratio.y);
    if (m_pan.active) {
        m_scene.Move(libgr::direction3_t(px - m_pan.x, -(py - m_pan.y), 0));
        m_pan.x = px, m_pan.y = py;
        redisplay();
    }
    if (m_zoom.active) {
        m_scene.Zoom((py - m_zoom.y) * -0.01f);
        m_zoom.x = px, m_zoom.y = py;
        redisplay();
    }
    if (m_rotate.active) {
        m_scene.Rotate((px - m_rotate.x) * 0.25f);
        m_rotate.x = px, m_rotate.y = py;
        redisplay();
    }
}

void ViewWindow::mousewheel(int wheel, int direction, int, int) {
    refine_now();  // input acts on the full picture
    if (g_option.debug)
        std::cout << "wheel: number=" << wheel << ", direction=" << direction << std::endl;
    if (wheel == 0) dispatch(*this, g_wheel_bindings, direction);
}

void ViewWindow::drop(int count, const char** paths) {
    clear();
    for (int i = 0; i < count; ++i)
        if (paths && paths[i]) m_list.setImagePath(paths[i]);
    if (initial_load()) first();
}

// --- picture list -----------------------------------------------------------------

bool ViewWindow::initial_load() {
    return m_list.initial_load(sink());
}

void ViewWindow::show_current() {
    residue(true);
    update_title();
    m_scene.make_graph(m_progdir);
    // The projection's half-pixel offset follows the new picture's parity.
    set_shape();
}

void ViewWindow::forward(int n) {
    m_scene.free_graph();
    if (!m_list.next_image(size_t(n), sink())) {
        m_scene.make_graph(m_progdir);
        return;
    }
    show_current();
    display();
    if (manager()) manager()->SwapBuffers(this);
}

void ViewWindow::backward(int n) {
    m_scene.free_graph();
    if (!m_list.back_image(size_t(n), sink())) {
        m_scene.make_graph(m_progdir);
        return;
    }
    show_current();
    display();
    if (manager()) manager()->SwapBuffers(this);
}

void ViewWindow::first() {
    m_scene.free_graph();
    m_list.first_image(sink());
    show_current();
    redisplay();
}

void ViewWindow::last() {
    m_scene.free_graph();
    m_list.last_image(sink());
    show_current();
    redisplay();
}

void ViewWindow::reload() {
    m_scene.free_graph();
    GLFWwindow* w = window();
    if (w) glfwIconifyWindow(w);
    set_shape();
    if (w) glfwRestoreWindow(w);
    m_scene.make_graph(m_progdir);
    redisplay();
}

void ViewWindow::clear() {
    m_scene.setCurrent(0);
    while (m_scene.delImage()) {
    }
    m_list.clear();
    redisplay();
}

// --- view -------------------------------------------------------------------------

direction2l_t ViewWindow::get_window_size() const {
    int w = 0, h = 0;
    if (GLFWwindow* win = window()) glfwGetFramebufferSize(win, &w, &h);
    return direction2l_t(w, h);
}

direction2l_t ViewWindow::getCurrentImageSize() const {
    direction2l_t s = m_scene.getCurrentImageSize();
    if (m_scene.rightrotatecount() % 2) std::swap(s.x, s.y);
    return s;
}

void ViewWindow::set_shape() {
    direction2l_t fb = get_window_size();
    if (fb.x <= 0 || fb.y <= 0) return;
    m_scene.Reshape(fb.x, fb.y);
    m_lastsize = fb;
}

void ViewWindow::residue(bool resize_window) {
    if (!g_option.resetview) return;
    if (g_option.reproduce && residue_resume(resize_window)) return;
    go_center(resize_window);
}

bool ViewWindow::residue_resume(bool resize_window) {
    vuefile_t saved;
    if (!m_list.has_current() || !saved.load(m_list.current())) return false;
    // The saved matrix is the whole view, the picture's own orientation
    // turn included: it replaces the fresh picture's matrix.
    auto apply = [&] {
        if (auto* o = m_scene.current()) o->transformer.matrix = libgr::matrix3w_t();
        setMatrix(saved.matrix);
    };
    direction2l_t win = get_window_size();
    const direction2l_t& s = saved.size;
    switch (g_option.resizetype) {
        case 0:
            apply();
            return true;
        case 2: {
            direction2l_t size = residue_calc_window_size(s, win);
            if (residue_set_window_size(size, win, resize_window)) win = size;
        }
            [[fallthrough]];
        case 1:
            apply();
            // The saved view keeps its proportion to the window.
            if (s.x > 0 && s.y > 0)
                setScale(std::min(float(win.x) / float(s.x), float(win.y) / float(s.y)));
            return true;
        default:
            return true;
    }
}

void ViewWindow::go_center(bool resize_window) {
    m_scene.Origin();
    if (g_option.resizetype == 0) {
        setScale(g_option.image_ratio_of_image);
        return;
    }
    if (g_option.resizetype != 1 && g_option.resizetype != 2) return;
    direction2l_t image = getCurrentImageSize();
    direction2l_t win = get_window_size();
    if (g_option.resizetype == 2) {
        if (g_option.verbose) std::cout << "imagesize: " << image << std::endl;
        direction2l_t wanted = wanted_window_size(image, g_option.window_ratio_of_image);
        if (wanted != 0) {
            direction2l_t size = residue_calc_window_size(wanted, win);
            residue_set_window_size(size, win, resize_window);
            win = size;
        }
    }
    float s = fit_scale(image, win, g_option.image_ratio_of_window);
    if (s != 0) setScale(s);
}

direction2l_t ViewWindow::residue_calc_window_size(const direction2l_t& wanted,
                                                   const direction2l_t& current) const {
    // The room on the screen: its work area (the window's own size would
    // only ever let it shrink).
    int x, y, w, h;
    work_area(x, y, w, h);
    return calc_window_size(wanted, current, g_option, direction2l_t(w, h));
}

bool ViewWindow::residue_set_window_size(const direction2l_t& size, const direction2l_t& current,
                                         bool resize_window) {
    if (g_option.verbose) std::cout << "set window size to: " << size << std::endl;
    if (size == current) {
        set_shape();
        return false;
    }
    if (resize_window && size.x > 0 && size.y > 0) {
        if (GLFWwindow* w = window()) {
            // The window system takes window units; a HiDPI framebuffer has more pixels.
            glfwSetWindowSize(w, std::max(1, size.x / m_pixelratio.x),
                              std::max(1, size.y / m_pixelratio.y));
        }
    }
    return true;
}

void ViewWindow::cursor_move(int key) {
    libgr::direction3_t d;
    switch (key) {
        case 262:
            d = {10, 0, 0};
            break;
        case 263:
            d = {-10, 0, 0};
            break;
        case 264:
            d = {0, -10, 0};
            break;
        case 265:
            d = {0, 10, 0};
            break;
        default:
            return;
    }
    if (g_option.cursor_movement == 1) d = -d;
    m_scene.Move(d);
}

void ViewWindow::update_title() {
    GLFWwindow* w = window();
    if (!w) return;
    std::string name = getCurrentTitleName();
    std::string title = name.empty() ? glimlib::make_title(glimlib::getmsg(0), glimlib::getmsg(1))
                                     : glimlib::make_title(name, glimlib::getmsg(0));
    glfwSetWindowTitle(w, title.c_str());
}

// --- commands -----------------------------------------------------------------------

void ViewWindow::cmd_step(int n) {
    int count = shift_held() ? 10 : 1;
    n > 0 ? forward(count) : backward(count);
}

void ViewWindow::cmd_step_or_quit(int n) {
    if (m_list.files().size() < 2) return cmd_quit(0);
    cmd_step(n);
}

void ViewWindow::cmd_first(int) {
    first();
}
void ViewWindow::cmd_last(int) {
    last();
}
void ViewWindow::cmd_center(int) {
    go_center(false);
}

void ViewWindow::cmd_quit(int) {
    if (manager()) manager()->Exit();
}

void ViewWindow::cmd_rotate(int degrees) {
    m_scene.Rotate(float(degrees));
}
void ViewWindow::cmd_clear_rotation(int) {
    m_scene.clrRotate();
}

void ViewWindow::cmd_zoom_digit(int digit) {
    float v = float(digit) * 0.5f;
    if (g_option.debug) std::cout << "zoom value: " << v << std::endl;
    m_scene.clrZoom();
    m_scene.Zoom(-v);
}

void ViewWindow::cmd_zoom_quarters(int quarters) {
    m_scene.Zoom(float(quarters) * 0.25f);
}
void ViewWindow::cmd_pan(int key) {
    cursor_move(key);
}

void ViewWindow::cmd_toggle_fill(int) {
    GLFWwindow* w = window();
    if (!w) return;
    if (g_option.wintype & 2) {
        g_option.wintype &= ~2;
        // One move-and-resize request, so nobody sees the old place with the new size.
        if (winwidth && winheight)
            glfwSetWindowMonitor(w, nullptr, int(winx), int(winy), int(winwidth), int(winheight),
                                 GLFW_DONT_CARE);
        return;
    }
    int x, y, width, height;
    glfwGetWindowSize(w, &width, &height);
    glfwGetWindowPos(w, &x, &y);
    winwidth = uint32_t(width), winheight = uint32_t(height);
    winx = uint32_t(x), winy = uint32_t(y);
    g_option.wintype |= 2;
    int ax, ay, aw, ah;
    work_area(ax, ay, aw, ah);
    if (aw > 0 && ah > 0)
        glfwSetWindowMonitor(w, nullptr, 0, 0, aw, ah, GLFW_DONT_CARE);
    else
        glfwSetWindowPos(w, 0, 0);
}

void ViewWindow::cmd_toggle_smooth(int) {
    m_scene.toggleSmooth();
}
void ViewWindow::cmd_reload(int) {
    reload();
}

void ViewWindow::cmd_iconify_restore(int) {
    if (GLFWwindow* w = window()) {
        glfwIconifyWindow(w);
        glfwRestoreWindow(w);
    }
}

void ViewWindow::cmd_savejpeg(int) {
    menu_file_savejpeg();
}
void ViewWindow::cmd_save_vuefile(int) {
    menu_edit_save_vuefile();
}
void ViewWindow::cmd_delete_vuefile(int) {
    menu_edit_delete_vuefile();
}
void ViewWindow::cmd_writedefault(int) {
    menu_edit_writedefault();
}

void ViewWindow::cmd_drag(int button) {
    drag_t* drags[3] = {&m_pan, &m_zoom, &m_rotate};
    if (button >= 0 && button < 3) drags[button]->active = true;
}

// --- file commands ---------------------------------------------------------------------

bool ViewWindow::menu_file_savejpeg() {
    if (!m_list.has_current()) return false;
    std::string out = make_shotpath(m_list.current());
    m_scene.Display();
    libgr::image2d_t shot;
    if (!libgr::grReadPixelsRGB(shot, GL_BACK))
        return libutils::fail(std::cerr, out, ": read pixels fail.");
    libgr::image_jpeg1_t jpeg;
    if (!jpeg.save(shot, out.c_str())) return libutils::fail(std::cerr, out, ": jpeg1 save fail.");
    if (g_option.verbose) std::cout << out << ": screenshot saved." << std::endl;
    return true;
}

bool ViewWindow::menu_edit_save_vuefile() {
    if (!m_list.has_current()) return false;
    vuefile_t state;
    state.size = get_window_size();
    state.matrix = getMatrix();
    return state.save(m_list.current());
}

bool ViewWindow::menu_edit_delete_vuefile() {
    return m_list.has_current() && vuefile_t().del(m_list.current());
}

bool ViewWindow::menu_edit_writedefault() {
    return glimlib::option_save_user_default(m_progname, m_progdir);
}

}  // namespace glimvue2

#include "glimvue/gems/glfwymgr4.h"

#include <GLFW/glfw3.h>

#include <cctype>
#include <iostream>
#include <vector>

#include "libutils/error.h"

namespace gems {

glutyAPI::~glutyAPI() = default;
glutyAPI4::~glutyAPI4() = default;

namespace {

struct key_row_t {
    int glfw;
    key_code_t to;
};

// Keys that do not arrive as their own GLFW code.
const key_row_t s_key_table[] = {
    {GLFW_KEY_ESCAPE, {false, 27}},       {GLFW_KEY_ENTER, {false, 13}},
    {GLFW_KEY_KP_ENTER, {false, 13}},     {GLFW_KEY_TAB, {false, 9}},
    {GLFW_KEY_BACKSPACE, {false, 8}},     {GLFW_KEY_KP_0, {true, 260}},
    {GLFW_KEY_KP_1, {true, 269}},         {GLFW_KEY_KP_2, {true, 264}},
    {GLFW_KEY_KP_3, {true, 267}},         {GLFW_KEY_KP_4, {true, 263}},
    {GLFW_KEY_KP_5, {true, 255}},         {GLFW_KEY_KP_6, {true, 262}},
    {GLFW_KEY_KP_7, {true, 268}},         {GLFW_KEY_KP_8, {true, 265}},
    {GLFW_KEY_KP_9, {true, 266}},         {GLFW_KEY_KP_DECIMAL, {false, '.'}},
    {GLFW_KEY_KP_DIVIDE, {false, '/'}},   {GLFW_KEY_KP_MULTIPLY, {false, '*'}},
    {GLFW_KEY_KP_SUBTRACT, {false, '-'}}, {GLFW_KEY_KP_ADD, {false, '+'}},
    {GLFW_KEY_KP_EQUAL, {false, '='}},
};

void cursor(GLFWwindow* w, int& x, int& y) {
    double cx = 0, cy = 0;
    glfwGetCursorPos(w, &cx, &cy);
    x = int(cx), y = int(cy);
}

}  // namespace

key_code_t translate_key(int key, int scancode, int mods) {
    key_code_t out{true, key};
    bool found = false;
    for (const auto& row : s_key_table)
        if (row.glfw == key) out = row.to, found = true;
    if (!found && key == GLFW_KEY_UNKNOWN)
        out = {true, scancode == 92 ? 349 : scancode == 93 ? 350 : -1};
    else if (!found && key >= 0 && key <= 127)
        out = {false, key};
    if (out.special) return out;
    bool shift = mods & GLFW_MOD_SHIFT, caps = mods & 0x10;  // GLFW_MOD_CAPS_LOCK
    if (shift == caps) out.code = std::tolower(out.code);
    if (mods & GLFW_MOD_CONTROL) out.code &= 0x1f;
    return out;
}

int translate_button(int b) {
    if (b == GLFW_MOUSE_BUTTON_RIGHT) return 2;
    if (b == GLFW_MOUSE_BUTTON_MIDDLE) return 1;
    return b;
}

int wheel_direction(double offset) { return offset > 0 ? -1 : offset < 0 ? 1 : 0; }

GLFWwindow* glfwyMGR4::addWindow(glutyAPI4* api, const std::string& title) {
    if (!api) return nullptr;
    GLFWwindow* w = glfwCreateWindow(640, 480, title.c_str(), nullptr, nullptr);
    if (!w) {
        libutils::report(std::cerr, "createwindow failed.");
        return nullptr;
    }
    m_apis[w] = api;
    m_windows[api] = w;
    glfwSetWindowRefreshCallback(w, on_refresh);
    glfwSetWindowSizeCallback(w, on_size);
    glfwSetKeyCallback(w, on_key);
    glfwSetMouseButtonCallback(w, on_button);
    glfwSetScrollCallback(w, on_scroll);
    glfwSetCursorPosCallback(w, on_cursor);
    glfwSetDropCallback(w, on_drop);
    glfwMakeContextCurrent(w);
    api->init();
    int width = 0, height = 0;
    glfwGetWindowSize(w, &width, &height);
    api->reshape(width, height);
    return w;
}

GLFWwindow* glfwyMGR4::win(const glutyAPI4* api) const {
    auto it = m_windows.find(const_cast<glutyAPI4*>(api));
    return it == m_windows.end() ? nullptr : it->second;
}

glutyAPI4* glfwyMGR4::api(GLFWwindow* window) const {
    auto it = m_apis.find(window);
    return it == m_apis.end() ? nullptr : it->second;
}

void glfwyMGR4::MainLoop() {
    while (!m_exit) {
        std::vector<GLFWwindow*> closing;
        for (auto& [w, a] : m_apis) {
            if (glfwWindowShouldClose(w)) {
                closing.push_back(w);
                continue;
            }
            glfwMakeContextCurrent(w);
            if (m_idle) a->idle();
            if (m_redisplay) {
                a->display();
                glfwSwapBuffers(w);
            }
        }
        for (GLFWwindow* w : closing) {
            m_windows.erase(m_apis[w]);
            m_apis.erase(w);
            glfwDestroyWindow(w);
        }
        if (m_apis.empty() || m_exit) return;
        m_redisplay = false;
        glfwWaitEvents();
    }
}

void glfwyMGR4::PostRedisplay() {
    m_redisplay = true;
    glfwPostEmptyEvent();
}

void glfwyMGR4::SwapBuffers(const glutyAPI4* api) const {
    if (GLFWwindow* w = win(api)) glfwSwapBuffers(w);
}

glutyAPI4* glfwyMGR4::enter(GLFWwindow* w) {
    glfwMakeContextCurrent(w);
    glfwyMGR4* m = getSingletonPtr();
    return m ? m->api(w) : nullptr;
}

void glfwyMGR4::on_refresh(GLFWwindow* w) {
    if (glutyAPI4* a = enter(w)) {
        a->display();
        glfwSwapBuffers(w);
    }
}

void glfwyMGR4::on_size(GLFWwindow* w, int width, int height) {
    glutyAPI4* a = enter(w);
    if (!a || width == 0 || height == 0) return;
    a->reshape(width, height);
    getSingleton().PostRedisplay();
}

void glfwyMGR4::on_key(GLFWwindow* w, int key, int scancode, int action, int mods) {
    glutyAPI4* a = enter(w);
    if (!a) return;
    if (action == GLFW_REPEAT && !getSingleton().isKeyRepeat()) return;
    int x, y;
    cursor(w, x, y);
    key_code_t k = translate_key(key, scancode, mods);
    bool up = action == GLFW_RELEASE;
    if (k.special)
        up ? a->specialkeyup(k.code, x, y) : a->specialkey(k.code, x, y);
    else
        up ? a->keyboardup((unsigned char)k.code, x, y) : a->keyboard((unsigned char)k.code, x, y);
}

void glfwyMGR4::on_button(GLFWwindow* w, int button, int action, int mods) {
    (void)mods;
    glutyAPI4* a = enter(w);
    if (!a) return;
    int x, y;
    cursor(w, x, y);
    a->mouse(translate_button(button), action == GLFW_PRESS ? 0 : 1, x, y);
}

void glfwyMGR4::on_scroll(GLFWwindow* w, double xoffset, double yoffset) {
    glutyAPI4* a = enter(w);
    if (!a) return;
    int x, y;
    cursor(w, x, y);
    if (yoffset != 0) a->mousewheel(0, wheel_direction(yoffset), x, y);
    if (xoffset != 0) a->mousewheel(1, wheel_direction(xoffset), x, y);
}

void glfwyMGR4::on_cursor(GLFWwindow* w, double x, double y) {
    if (glutyAPI4* a = enter(w)) a->motion(int(x), int(y));
}

void glfwyMGR4::on_drop(GLFWwindow* w, int count, const char** paths) {
    if (glutyAPI4* a = enter(w)) a->drop(count, paths);
}

}  // namespace gems

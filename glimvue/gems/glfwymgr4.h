// A callback-style window interface over GLFW. A window object derives from
// glutyAPI4 and receives display, resize, keyboard, mouse, wheel and
// file-drop events with integer coordinates and character-style key codes;
// the one window manager, glfwyMGR4, creates the GLFW windows, routes GLFW's
// callbacks to their objects and runs the event loop. The manager does not
// own the window objects. A window that cannot be created prints
// "createwindow failed." on the standard error stream.
#pragma once

#include <map>
#include <string>

struct GLFWwindow;

namespace gems {

// Records the one instance of T when it is constructed.
template <class T>
class singleton {
    static T*& instance() {
        static T* p = nullptr;
        return p;
    }

  protected:
    singleton() { instance() = static_cast<T*>(this); }
    ~singleton() { instance() = nullptr; }

  public:
    static T& getSingleton() { return *instance(); }
    static T* getSingletonPtr() { return instance(); }
};

class glutyAPI {
  public:
    virtual void reshape(int width, int height) { (void)width, (void)height; }
    virtual void display() {}
    virtual void keyboard(unsigned char key, int x, int y) { (void)key, (void)x, (void)y; }
    virtual void specialkey(int key, int x, int y) { (void)key, (void)x, (void)y; }
    virtual void mouse(int button, int state, int x, int y) {
        (void)button, (void)state, (void)x, (void)y;
    }
    virtual void motion(int x, int y) { (void)x, (void)y; }
    virtual void passivemotion(int x, int y) { (void)x, (void)y; }
    virtual void idle() {}
    virtual void init() {}
    virtual ~glutyAPI() = 0;
};

class glutyAPI4 : public glutyAPI {
  public:
    virtual void keyboardup(unsigned char key, int x, int y) { (void)key, (void)x, (void)y; }
    virtual void specialkeyup(int key, int x, int y) { (void)key, (void)x, (void)y; }
    virtual void mousewheel(int wheel, int direction, int x, int y) {
        (void)wheel, (void)direction, (void)x, (void)y;
    }
    virtual void drop(int count, const char** paths) { (void)count, (void)paths; }
    ~glutyAPI4() override = 0;
};

// What a GLFW key event becomes: a character for keyboard()/keyboardup()
// or a special code for specialkey()/specialkeyup().
struct key_code_t {
    bool special;
    int code;
};

// GLFW key code, scan code and modifier bits -> the interface's code:
// keypad digits become the cursor/page specials, letters arrive lower case
// unless exactly one of Shift and Caps Lock is held, Control gives control
// characters, and unknown keys with scan codes 92/93 become 349/350.
key_code_t translate_key(int key, int scancode, int mods);
// GLFW's right (1) and middle (2) buttons swapped to 2 and 1.
int translate_button(int glfw_button);
// A scroll offset as a wheel direction: -1 for a positive offset, +1 for a
// negative one, 0 for none.
int wheel_direction(double offset);

class glfwyMGR4 : public singleton<glfwyMGR4> {
    std::map<GLFWwindow*, glutyAPI4*> m_apis;
    std::map<glutyAPI4*, GLFWwindow*> m_windows;
    bool m_exit = false;
    bool m_idle = true;
    bool m_keyrepeat = false;
    bool m_redisplay = false;

  public:
    glfwyMGR4() = default;
    glfwyMGR4(const glfwyMGR4&) = delete;
    glfwyMGR4& operator=(const glfwyMGR4&) = delete;

    // A 640x480 window with that title whose events go to `api`; calls its
    // init() and a first reshape(). Null when api is null or creation fails.
    GLFWwindow* addWindow(glutyAPI4* api, const std::string& title);
    GLFWwindow* win(const glutyAPI4* api) const;
    glutyAPI4* api(GLFWwindow* window) const;

    // Runs until no window is left or Exit() is called.
    void MainLoop();
    void Exit() { m_exit = true; }
    void IdleOn() { m_idle = true; }
    void IdleOff() { m_idle = false; }
    void KeyRepeat(bool on) { m_keyrepeat = on; }
    bool isKeyRepeat() const { return m_keyrepeat; }
    // Marks a redisplay pending and wakes a waiting loop.
    void PostRedisplay();
    void SwapBuffers(const glutyAPI4* api) const;

  private:
    static void on_refresh(GLFWwindow* w);
    static void on_size(GLFWwindow* w, int width, int height);
    static void on_key(GLFWwindow* w, int key, int scancode, int action, int mods);
    static void on_button(GLFWwindow* w, int button, int action, int mods);
    static void on_scroll(GLFWwindow* w, double xoffset, double yoffset);
    static void on_cursor(GLFWwindow* w, double x, double y);
    static void on_drop(GLFWwindow* w, int count, const char** paths);
    // Makes the window's context current; its object, or null.
    static glutyAPI4* enter(GLFWwindow* w);
};

}  // namespace gems

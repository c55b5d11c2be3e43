// The viewer's window controller: owns the picture list and the view scene,
// decides the window size and picture scale when a picture is shown (the
// resize policy), and turns keys, mouse buttons, drags, the wheel and
// dropped files into viewer commands through the binding tables of
// bindings.cpp. Thin over the scene and the list: every command is a small
// member function named after what it does.
#pragma once

#include <string>

#include "glimlib/prefetch.h"
#include "glimlib/viewscene.h"
#include "glimvue/gems/glfwymgr4.h"
#include "glimvue/imagelist.h"
#include "libgr/image/vecmath.h"

struct GLFWwindow;

namespace glimvue2 {

// The window's size and position before it was switched to fill the
// screen's work area, to switch back.
extern uint32_t winwidth, winheight, winx, winy;

class ViewWindow : public gems::glutyAPI4 {
  public:
    // Reads the options (user defaults, then the command line) and builds
    // the picture list from the remaining words.
    ViewWindow(int* argc, char** argv);
    ~ViewWindow() override;

    // --- window events ---
    void init() override;
    void reshape(int w, int h) override;
    void display() override;
    void idle() override;
    void keyboard(unsigned char key, int x, int y) override;
    void specialkey(int key, int x, int y) override;
    void mouse(int button, int state, int x, int y) override;
    void motion(int x, int y) override;
    void mousewheel(int wheel, int direction, int x, int y) override;
    void drop(int count, const char** paths) override;

    // --- picture list ---
    bool setImagePath(const std::string& path) { return m_list.setImagePath(path); }
    bool initial_load();
    void forward(int n);
    void backward(int n);
    void first();
    void last();
    void reload();
    void clear();
    const imagelist_t& list() const { return m_list; }

    // --- view ---
    void residue(bool resize_window);
    bool residue_resume(bool resize_window);
    void go_center(bool resize_window);
    libgr::direction2l_t residue_calc_window_size(const libgr::direction2l_t& wanted,
                                                  const libgr::direction2l_t& current) const;
    bool residue_set_window_size(const libgr::direction2l_t& size,
                                 const libgr::direction2l_t& current, bool resize_window);
    void set_shape();
    libgr::direction2l_t get_window_size() const;
    libgr::direction2l_t getCurrentImageSize() const;
    void setScale(float s) { m_scene.Scale(s); }
    void setMatrix(const libgr::matrix3w_t& m) { m_scene.Matrix(m); }
    libgr::matrix3w_t getMatrix() const { return m_scene.getMatrix(); }
    void cursor_move(int key);
    glimlib::ViewScene& scene() { return m_scene; }

    // --- title ---
    std::string getCurrentTitleName() const { return m_list.title(); }
    void update_title();

    // --- commands bound to keys, buttons and the wheel (bindings.cpp) ---
    void cmd_step(int n);          // n > 0 forward, n < 0 backward; Shift: 10 at a time
    void cmd_step_or_quit(int n);  // backward, but with fewer than 2 files: quit
    void cmd_first(int);
    void cmd_last(int);
    void cmd_center(int);
    void cmd_quit(int);
    void cmd_rotate(int degrees);
    void cmd_clear_rotation(int);
    void cmd_zoom_digit(int digit);
    void cmd_zoom_quarters(int quarters);
    void cmd_pan(int key);
    void cmd_toggle_fill(int);
    void cmd_toggle_smooth(int);
    void cmd_reload(int);
    void cmd_iconify_restore(int);
    void cmd_savejpeg(int);
    void cmd_save_vuefile(int);
    void cmd_delete_vuefile(int);
    void cmd_writedefault(int);
    void cmd_drag(int button);  // starts the drag of that button

    // --- file commands ---
    // Saves what the window shows beside the picture as <name>.vue.<k>.jpg,
    // the first k that is free.
    bool menu_file_savejpeg();
    // Saves / deletes the current picture's view-state file (vuefile.h).
    bool menu_edit_save_vuefile();
    bool menu_edit_delete_vuefile();
    bool menu_edit_writedefault();

    const std::string& program_name() const { return m_progname; }
    const std::string& program_dir() const { return m_progdir; }

  private:
    struct drag_t {
        bool active = false;
        float x = 0, y = 0;
    };

    std::string m_progname;  // file name of argv[0] without directory and extension
    std::string m_progdir;   // its directory with the final separator, or ""
    drag_t m_pan, m_zoom, m_rotate;
    glimlib::ViewScene m_scene;
    imagelist_t m_list;
    glimlib::picture_prefetch_t m_prefetch;  // the first file, decoded meanwhile
    libgr::direction2l_t m_lastsize;
    libgr::direction2l_t m_pixelratio{1, 1};
    // A reduced first look is on the screen: the full picture follows in
    // the next turn of the event loop (or before the next input).
    bool m_refine_pending = false;
    void refine_now();
    // The size a first look at `path` must cover in a window of that size:
    // 0 x 0 when the picture is not to be shown whole.
    libgr::direction2l_t first_look_cover(const std::string& path,
                                          const libgr::direction2l_t& window) const;
    int m_drawn_timed = 0;  // the first picture's drawings timed: 2 once it is in full

    GLFWwindow* window() const;
    image_sink_t sink();
    bool shift_held() const;
    // After a picture change: view, title, GL resources, projection.
    void show_current();
    void redisplay();
};

}  // namespace glimvue2

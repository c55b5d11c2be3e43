#include "glimvue/bindings.h"

#include "glimvue/ViewWindow.h"
#include "glimvue/gems/glfwymgr4.h"

namespace glimvue2 {

namespace {

using V = ViewWindow;

const binding_t s_keys[] = {
    {8, &V::cmd_step, -1, false},  // Backspace (Shift: 10 back)
    {' ', &V::cmd_step, 1, false}, // Space (Shift: 10 on)
    {13, &V::cmd_center, 0, true}, // Enter: reset the view, keep the window
    {27, &V::cmd_quit, 0, false},
    {'q', &V::cmd_quit, 0, false},
    {'*', &V::cmd_rotate, -5, true},
    {'\\', &V::cmd_rotate, -5, true},
    {'/', &V::cmd_rotate, 5, true},
    {'-', &V::cmd_clear_rotation, 0, true},
    {'0', &V::cmd_zoom_digit, 0, true},
    {'1', &V::cmd_zoom_digit, 1, true},
    {'2', &V::cmd_zoom_digit, 2, true},
    {'3', &V::cmd_zoom_digit, 3, true},
    {'4', &V::cmd_zoom_digit, 4, true},
    {'5', &V::cmd_zoom_digit, 5, true},
    {'6', &V::cmd_zoom_digit, 6, true},
    {'7', &V::cmd_zoom_digit, 7, true},
    {'8', &V::cmd_zoom_digit, 8, true},
    {'9', &V::cmd_zoom_digit, 9, true},
    {'f', &V::cmd_toggle_fill, 0, true},
    {'g', &V::cmd_toggle_smooth, 0, true},
    {'r', &V::cmd_reload, 0, false},
    {'R', &V::cmd_iconify_restore, 0, false},
    {'s', &V::cmd_savejpeg, 0, false},
    {'w', &V::cmd_save_vuefile, 0, false},
    {'d', &V::cmd_delete_vuefile, 0, false},
    {127, &V::cmd_delete_vuefile, 0, false},
    {'W', &V::cmd_writedefault, 0, false},
};

// GLFW key codes; the keypad digits arrive as these (see glfwymgr4).
const binding_t s_special[] = {
    {262, &V::cmd_pan, 262, true},          // Right
    {263, &V::cmd_pan, 263, true},          // Left
    {264, &V::cmd_pan, 264, true},          // Down
    {265, &V::cmd_pan, 265, true},          // Up
    {266, &V::cmd_zoom_quarters, 1, true},  // Page Up
    {267, &V::cmd_zoom_quarters, -1, true}, // Page Down
    {268, &V::cmd_first, 0, false},         // Home
    {269, &V::cmd_last, 0, false},          // End
    {260, &V::cmd_save_vuefile, 0, false},  // Insert
    {294, &V::cmd_reload, 0, false},        // F5
    {349, &V::cmd_step_or_quit, -1, false}, // back button of some mice
    {350, &V::cmd_step, 1, false},          // forward button
};

// Buttons as the window manager numbers them: 0 left, 1 middle, 2 right.
const binding_t s_buttons[] = {
    {0, &V::cmd_drag, 0, false},  // pan
    {1, &V::cmd_drag, 1, false},  // zoom
    {2, &V::cmd_drag, 2, false},  // turn
    {3, &V::cmd_step_or_quit, -1, false},
    {4, &V::cmd_step, 1, false},
};

// Wheel 0 (vertical): direction 1 is a step towards the user.
const binding_t s_wheel[] = {
    {1, &V::cmd_zoom_quarters, -1, true},
    {-1, &V::cmd_zoom_quarters, 1, true},
};

template <size_t N>
constexpr binding_table_t table(const binding_t (&rows)[N]) {
    return binding_table_t{rows, N};
}

}  // namespace

const binding_table_t g_key_bindings = table(s_keys);
const binding_table_t g_special_bindings = table(s_special);
const binding_table_t g_button_bindings = table(s_buttons);
const binding_table_t g_wheel_bindings = table(s_wheel);

bool dispatch(ViewWindow& w, const binding_table_t& t, int input) {
    for (size_t i = 0; i < t.size; ++i) {
        const binding_t& b = t.rows[i];
        if (b.input != input) continue;
        (w.*b.command)(b.arg);
        if (b.redraw && gems::glfwyMGR4::getSingletonPtr())
            gems::glfwyMGR4::getSingleton().PostRedisplay();
        return true;
    }
    return false;
}

}  // namespace glimvue2

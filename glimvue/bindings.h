// The viewer's bindings: which key, special key, mouse button and wheel
// direction runs which command with which argument. A new binding is a row.
#pragma once

#include <cstddef>

namespace glimvue2 {

class ViewWindow;

struct binding_t {
    int input;                        // character, special key code or button
    void (ViewWindow::*command)(int); // the command
    int arg;                          // its argument
    bool redraw;                      // ask for a redisplay afterwards
};

struct binding_table_t {
    const binding_t* rows;
    size_t size;
};

extern const binding_table_t g_key_bindings;      // keyboard(): characters
extern const binding_table_t g_special_bindings;  // specialkey(): GLFW key codes
extern const binding_table_t g_button_bindings;   // mouse(): presses
extern const binding_table_t g_wheel_bindings;    // mousewheel(): wheel 0 directions

// Runs the row for `input`; false when the table has none.
bool dispatch(ViewWindow& w, const binding_table_t& table, int input);

}  // namespace glimvue2

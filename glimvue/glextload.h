// The OpenGL extension loader: run once with the window's context current,
// before anything is drawn. It reads the core version and the extension
// list, and resolves the entry points beyond OpenGL 1.1 by name in the
// system's GL library (opened once by path). GLX's and GLFW's own lookups
// answer non-null even for names that do not exist, so support is decided
// from the version and extension strings, and a pointer is kept only when
// the library itself exports the name and the version or extension that
// provides it is present. Fills libgr::g_glsupport.
#pragma once

#include <string>

namespace glimvue2 {

// False (with one line on standard error) when no context is current.
bool load_gl_extensions();

// Whether `name` is a whole word of the space-separated `list`.
bool has_extension(const std::string& list, const char* name);

// "4.5 (Compatibility Profile) Mesa 22.3.6" -> 4, 5; false when unreadable.
bool parse_gl_version(const char* text, int& major, int& minor);

}  // namespace glimvue2

// The GL layer's error poll, placed before and after GL steps so that an
// error is attributed to the step that caused it: grPrintError reads one
// pending OpenGL error; without one it returns false silently, else it
// writes "<step>: Error <code>: <GLU text>" (the step part only when a text
// is given) on the standard error stream and returns true.
#pragma once

namespace libgr {

bool grPrintError(const char* step = nullptr);

}  // namespace libgr

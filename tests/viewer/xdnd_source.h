// Files dropped on a window as a file manager drops them: a small XDND
// (version 5) drag source offering "text/uri-list", driven straight through
// Xlib because xdotool cannot drag between programs.
#pragma once

#include <string>
#include <vector>

namespace xdnd {

// Drops `paths` (absolute) on the window with that X id at (x, y) of the
// screen; true once the window has said it finished with the drop (5 s at
// most). Needs $DISPLAY.
bool drop_files(unsigned long window, const std::vector<std::string>& paths, int x, int y);

}  // namespace xdnd

// Whether a file or directory is there: the engine's and the windows' one
// way of asking.
#pragma once

#include <string>

namespace snapfolio {

// False for an empty name; one trailing "/" is ignored; then whether stat
// finds it (a directory, a file, or a link to either).
bool is_exist(const std::string& file);

// Whether stat finds a directory (or a link to one) at path.
bool is_dir(const std::string& path);

}  // namespace snapfolio

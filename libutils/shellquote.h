// Quoting text for the POSIX shell. Command lines put file names between
// double quotes; inside them the shell still expands "$", "`" and "\" and
// ends the quote at '"', so those four are escaped with a backslash. A name
// without them comes out exactly as "name", readable and copy-pasteable.
#pragma once

#include <string>

namespace libutils {

// '"' + text with $ ` " \ escaped + '"'
std::string dquote(const std::string& text);

}  // namespace libutils

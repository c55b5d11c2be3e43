// The one-line failure report of the JPEG and EXIF parsers.
#pragma once

#include <sstream>
#include <string>

namespace libgr {

// Calls libutils::error(), writes the line to standard error, returns false.
bool fail(const std::string& line);

// Joins the pieces of a message with stream formatting (numbers in decimal).
template <class... A>
std::string message(const A&... pieces) {
    std::ostringstream s;
    (s << ... << pieces);
    return s.str();
}

}  // namespace libgr

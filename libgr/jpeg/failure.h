// The one-line failure report of the JPEG and EXIF parsers.
#pragma once

#include <sstream>
#include <string>

namespace libgr {

// Calls libutils::error() and writes the line to standard error.
void report(const std::string& line);

// Reports the line and returns false.
inline bool fail(const std::string& line) {
    report(line);
    return false;
}

// Joins the pieces of a message with stream formatting (numbers in decimal).
template <class... A>
std::string message(const A&... pieces) {
    std::ostringstream s;
    (s << ... << pieces);
    return s.str();
}

}  // namespace libgr

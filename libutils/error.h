// Failure reporting. Expected failures are reported as one line, the subject
// (usually a path or a function name) followed by a fixed text that begins
// with ": ", written by report() or fail() below. Both call error() first, the
// single place to stop in a debugger before any diagnostic line is printed.
#pragma once

#include <ostream>

namespace libutils {

void error();

// Calls error(), then writes the pieces to `out` as one line.
//   libutils::report(err, path, ": open error, ", std::strerror(errno));
template <class... A>
void report(std::ostream& out, const A&... pieces) {
    error();
    (out << ... << pieces) << std::endl;
}

// The same, returning false, for `return libutils::fail(err, path, ": ...");`.
template <class... A>
bool fail(std::ostream& out, const A&... pieces) {
    report(out, pieces...);
    return false;
}

}  // namespace libutils

// Failure reporting. Expected failures are reported as one line, the subject
// (usually a path or a function name) followed by a fixed text that begins
// with ": ", written by report() or fail() below. Both call error() first, the
// single place to stop in a debugger before any diagnostic line is printed.
#pragma once

#include <ostream>

namespace libutils {

void error();

// Where a line meant for std::cerr goes on this thread: std::cerr itself,
// or the stream that redirect_cerr_t set (a worker of the album engine
// collects its lines so that its caller prints them whole and in order).
std::ostream& routed(std::ostream& out);

// Sends this thread's std::cerr lines of report() and fail() to `to` while
// it lives.
class redirect_cerr_t {
    std::ostream* m_old;

  public:
    explicit redirect_cerr_t(std::ostream& to);
    ~redirect_cerr_t();
    redirect_cerr_t(const redirect_cerr_t&) = delete;
    redirect_cerr_t& operator=(const redirect_cerr_t&) = delete;
};

// Calls error(), then writes the pieces to `out` as one line.
//   libutils::report(err, path, ": open error, ", std::strerror(errno));
template <class... A>
void report(std::ostream& out, const A&... pieces) {
    error();
    (routed(out) << ... << pieces) << std::endl;
}

// The same, returning false, for `return libutils::fail(err, path, ": ...");`.
template <class... A>
bool fail(std::ostream& out, const A&... pieces) {
    report(out, pieces...);
    return false;
}

}  // namespace libutils

#include "libutils/error.h"

#include <iostream>

namespace libutils {

// Deliberately empty; keep it out of line so a breakpoint always hits.
void __attribute__((noinline)) error() {
    asm volatile("");
}

namespace {
thread_local std::ostream* t_cerr = nullptr;
}  // namespace

std::ostream& routed(std::ostream& out) {
    return t_cerr && &out == &std::cerr ? *t_cerr : out;
}

redirect_cerr_t::redirect_cerr_t(std::ostream& to) : m_old(t_cerr) {
    t_cerr = &to;
}

redirect_cerr_t::~redirect_cerr_t() {
    t_cerr = m_old;
}

}  // namespace libutils

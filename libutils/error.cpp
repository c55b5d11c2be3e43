#include "libutils/error.h"

namespace libutils {

// Deliberately empty; keep it out of line so a breakpoint always hits.
void __attribute__((noinline)) error() { asm volatile(""); }

}  // namespace libutils

// The album program's settings put back as they were when the guard was
// made, whatever the test changed in between.
#pragma once

#include "snapfolio/engine/global.h"

namespace testenv {

class saved_global_t {
    snapfolio::global_t m_saved = snapfolio::g_global;

  public:
    saved_global_t() = default;
    ~saved_global_t() { snapfolio::g_global = m_saved; }
    saved_global_t(const saved_global_t&) = delete;
    saved_global_t& operator=(const saved_global_t&) = delete;
};

}  // namespace testenv

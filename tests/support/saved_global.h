// The album program's settings put back as they were when the guard was
// made, whatever the test changed in between; with `defaults` the test
// starts from the default settings.
#pragma once

#include "snapfolio/engine/global.h"

namespace testenv {

class saved_global_t {
    snapfolio::global_t m_saved = snapfolio::g_global;

  public:
    enum start_t { as_they_are, defaults };
    explicit saved_global_t(start_t start = as_they_are) {
        if (start == defaults) snapfolio::g_global = snapfolio::global_t();
    }
    ~saved_global_t() { snapfolio::g_global = m_saved; }
    saved_global_t(const saved_global_t&) = delete;
    saved_global_t& operator=(const saved_global_t&) = delete;
};

}  // namespace testenv

// How the engine's long runs report progress. Every stage emits the fraction
// done, i / n after the i-th of n items, on a signal of its own, so that a
// caller can show one bar (or one line) per stage: the progress window, the
// command line's printer and the tests all hand the engine the same record.
#pragma once

#include <sigc++/sigc++.h>

#include <string>

namespace snapfolio {

using progress_signal_t = sigc::signal<void, double>;

struct progress_signals_t {
    // The album chains' stages, in the order they run.
    progress_signal_t copy, shrink, html, zoom;
    // The best-of collections' detailed and compact pages.
    progress_signal_t best_index, best_list;
    // Each directory a batch update reaches (path.make()).
    sigc::signal<void, const std::string&> directory;
};

}  // namespace snapfolio

// How the engine's long runs report progress. Every stage emits the fraction
// done, i / n after the i-th of n items, on a signal of its own, so that a
// caller can show one bar (or one line) per stage: the progress window, the
// command line's printer and the tests all hand the engine the same record.
// Every signal is emitted on the caller's thread, never on a worker.
#pragma once

#include <sigc++/sigc++.h>

#include <string>

namespace snapfolio {

using progress_signal_t = sigc::signal<void, double>;
using tick_signal_t = sigc::signal<void>;

struct progress_signals_t {
    // The album chains' stages, in the order they run.
    progress_signal_t copy, shrink, html, zoom;
    // The best-of collections' detailed and compact pages.
    progress_signal_t best_index, best_list;
    // Each directory a batch update reaches (path.make()).
    sigc::signal<void, const std::string&> directory;
    // No news, only a chance to answer the user: emitted between the rungs
    // of one photo's ladder and, while workers run, every tick_interval_ms,
    // so that a window stays responsive while a large photo is worked on.
    tick_signal_t tick;
};

const int tick_interval_ms = 100;

}  // namespace snapfolio

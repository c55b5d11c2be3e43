// The workers of the album chains: the per-photo work of a stage runs on a
// few threads while the caller's thread keeps the order of the album, so
// that what a user sees (progress, diagnostics, the files) does not depend
// on how many workers there were.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>

namespace snapfolio {

// The workers of a run: the jobs setting, or one per core when it is 0.
unsigned worker_count();

// Runs work(i, false) for i = 0 .. n-1 on up to `workers` threads, one item
// per worker at a time, and finish(i) on the calling thread in the order of
// i, each once work(i) and every finish before it are done. tick() is called
// on the calling thread about every tick_interval_ms while it waits. When
// finish returns false no further item is started, the items under way are
// completed, and the run returns false. An exception thrown by work is
// thrown again on the calling thread once the workers have stopped.
//
// With one worker (or one item) everything runs on the calling thread:
// work(i, true) then finish(i), as a plain loop would.
bool run_in_order(unsigned workers, size_t n, const std::function<void(size_t, bool)>& work,
                  const std::function<bool(size_t)>& finish, const std::function<void()>& tick);

// run_in_order over worker_count() workers for work that reports on a
// stream: work(i, out, on_caller) writes to `err` itself on the calling
// thread; on a worker, what it writes to `out` or to std::cerr is held and
// written out in the order of i, before finish(i).
bool run_reporting_in_order(size_t n, std::ostream& err,
                            const std::function<void(size_t, std::ostream&, bool)>& work,
                            const std::function<bool(size_t)>& finish,
                            const std::function<void()>& tick);

}  // namespace snapfolio

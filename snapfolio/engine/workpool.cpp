#include "snapfolio/engine/workpool.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "snapfolio/engine/global.h"
#include "snapfolio/engine/joblog.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

unsigned worker_count() {
    if (g_global.jobs > 0) return unsigned(g_global.jobs);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

namespace {

// What the workers and the caller share, under one lock.
struct shared_t {
    std::mutex lock;
    std::condition_variable item_done;
    size_t next = 0;     // the next item to hand out
    bool stop = false;   // no more items are handed out
    std::vector<char> done;
    std::vector<std::exception_ptr> thrown;
};

void work_loop(shared_t& s, size_t n, const std::function<void(size_t, bool)>& work) {
    for (;;) {
        size_t i;
        {
            std::lock_guard<std::mutex> hold(s.lock);
            if (s.stop || s.next == n) return;
            i = s.next++;
        }
        std::exception_ptr thrown;
        try {
            work(i, false);
        } catch (...) {
            thrown = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> hold(s.lock);
            s.done[i] = 1;
            s.thrown[i] = thrown;
        }
        s.item_done.notify_one();
    }
}

// Stops handing out items and waits for the workers, however the caller
// leaves.
class workers_t {
    shared_t& m_shared;
    std::vector<std::thread> m_threads;

  public:
    workers_t(shared_t& s, unsigned count, size_t n,
              const std::function<void(size_t, bool)>& work)
        : m_shared(s) {
        for (unsigned k = 0; k < count; ++k)
            m_threads.emplace_back([&s, n, &work] { work_loop(s, n, work); });
    }
    ~workers_t() {
        {
            std::lock_guard<std::mutex> hold(m_shared.lock);
            m_shared.stop = true;
        }
        for (std::thread& t : m_threads) t.join();
    }
};

}  // namespace

bool run_in_order(unsigned workers, size_t n, const std::function<void(size_t, bool)>& work,
                  const std::function<bool(size_t)>& finish, const std::function<void()>& tick) {
    if (workers <= 1 || n <= 1) {
        for (size_t i = 0; i < n; ++i) {
            work(i, true);
            if (!finish(i)) return false;
        }
        return true;
    }
    using clock = std::chrono::steady_clock;
    const auto interval = std::chrono::milliseconds(tick_interval_ms);
    shared_t s;
    s.done.assign(n, 0);
    s.thrown.assign(n, nullptr);
    workers_t pool(s, unsigned(std::min<size_t>(workers, n)), n, work);
    auto last_tick = clock::now();
    for (size_t i = 0; i < n; ++i) {
        std::exception_ptr thrown;
        {
            std::unique_lock<std::mutex> hold(s.lock);
            while (!s.done[i]) {
                s.item_done.wait_until(hold, last_tick + interval);
                if (clock::now() - last_tick >= interval) {
                    hold.unlock();
                    tick();
                    last_tick = clock::now();
                    hold.lock();
                }
            }
            thrown = s.thrown[i];
        }
        if (thrown) std::rethrow_exception(thrown);
        if (!finish(i)) return false;
    }
    return true;
}

bool run_reporting_in_order(size_t n, std::ostream& err,
                            const std::function<void(size_t, std::ostream&, bool)>& work,
                            const std::function<bool(size_t)>& finish,
                            const std::function<void()>& tick) {
    std::vector<std::unique_ptr<job_log_t>> logs(n);
    auto logged = [&](size_t i, bool on_caller) {
        if (on_caller) return work(i, err, true);
        logs[i] = std::make_unique<job_log_t>(err);
        job_log_t::capture_t capture(*logs[i]);
        work(i, logs[i]->err(), false);
    };
    auto replayed = [&](size_t i) {
        if (logs[i]) {
            logs[i]->replay();
            logs[i].reset();
        }
        return finish(i);
    };
    return run_in_order(worker_count(), n, logged, replayed, tick);
}

}  // namespace snapfolio

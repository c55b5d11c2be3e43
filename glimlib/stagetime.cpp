#include "glimlib/stagetime.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace glimlib {

namespace {

using clock_type = std::chrono::steady_clock;

double seconds(clock_type::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

bool stage_times_on() {
    static const bool on = std::getenv("GLIMVUE3_TIMES") != nullptr;
    return on;
}

void stage_time(const char* stage) {
    if (!stage_times_on()) return;
    // The first picture may be decoded on a thread of its own.
    static std::mutex guard;
    std::lock_guard<std::mutex> lock(guard);
    static const clock_type::time_point origin = clock_type::now();
    static clock_type::time_point last = origin;
    clock_type::time_point now = clock_type::now();
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    // stdio, not a stream: the marks must not depend on stream state.
    std::fprintf(stderr, "time: %s %.4f %.4f %ld\n", stage, seconds(now - last),
                 seconds(now - origin), usage.ru_maxrss / 1024);
    last = now;
}

}  // namespace glimlib

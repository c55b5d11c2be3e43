// Start-up timings for the first-frame benchmark. With GLIMVUE3_TIMES set in
// the environment, each mark prints on the standard error stream
//   "time: <stage> <seconds since the previous mark> <seconds since the first mark> <peak MiB>"
// and nothing otherwise; the first mark (at program start) sets the origin.
#pragma once

namespace glimlib {

void stage_time(const char* stage);
bool stage_times_on();

}  // namespace glimlib

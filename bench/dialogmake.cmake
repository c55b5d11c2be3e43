# Making an album from the make-album dialog, with its progress window,
# against snapfolio-cli make of the same photos; and how often the window
# answers during it. Needs an X server (xvfb-run -a scripts/bench.sh).
add_window_bench(bench_dialogmake dialogmake_bench.cpp)

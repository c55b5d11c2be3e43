# Opening the edit-album dialog on an album of 500 photos and the best-book
# collection of a book of 20 such albums, until drawn, split into widgets,
# EXIF descriptions and thumbnails. Needs an X server (xvfb-run -a
# scripts/bench.sh).
add_window_bench(bench_albumdialogs albumdialogs_bench.cpp)

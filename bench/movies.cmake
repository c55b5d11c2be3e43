# The movie chain's own cost next to ffmpeg's: identification against a bare
# `ffmpeg -i`, command building and report reading per movie, the CPU time of
# the album program against that of the ffmpeg processes it starts, and a
# second run over an unchanged album, which must convert nothing.
add_executable(bench_movies ${CMAKE_CURRENT_LIST_DIR}/movies_bench.cpp)
target_link_libraries(bench_movies PRIVATE snapfolio_engine glimlib_message)

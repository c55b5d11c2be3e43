# The whole ladder of one 24-megapixel photo, unturned and turned, against
# libjpeg-turbo's tools doing the same work.
add_executable(bench_levels ${CMAKE_CURRENT_LIST_DIR}/levels_bench.cpp)
target_link_libraries(bench_levels PRIVATE snapfolio_engine libgr_jpeg libgr_image libutils)

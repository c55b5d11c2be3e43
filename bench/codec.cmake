# Decoding, encoding and halving of a 24-megapixel photo against djpeg and
# cjpeg doing the same work.
add_executable(bench_codec ${CMAKE_CURRENT_LIST_DIR}/codec_bench.cpp)
target_link_libraries(bench_codec PRIVATE libgr_jpeg libgr_image libutils)

# Making a whole album of 20 camera-like photos against libjpeg-turbo's
# tools, its peak memory, the update of an unchanged album, and 12-megapixel
# albums in plain time.
add_executable(bench_album ${CMAKE_CURRENT_LIST_DIR}/album_bench.cpp)
target_link_libraries(bench_album PRIVATE snapfolio_engine libgr_jpeg libgr_image libutils)
target_compile_definitions(bench_album PRIVATE
    SAMPLES_PROGRAM="$<TARGET_FILE:snapfolio-samples>"
    CLI_PROGRAM="$<TARGET_FILE:snapfolio-cli>")
add_dependencies(bench_album snapfolio-samples snapfolio-cli)

# Opening the edit-album dialog on an album of 500 photos and the best-book
# collection of a book of 20 such albums, until drawn, split into widgets,
# EXIF descriptions and thumbnails. Needs an X server (xvfb-run -a
# scripts/bench.sh).
if(TARGET snapfolio_gui)
    add_executable(bench_albumdialogs ${CMAKE_CURRENT_LIST_DIR}/albumdialogs_bench.cpp)
    target_link_libraries(bench_albumdialogs PRIVATE snapfolio_gui)
    target_compile_definitions(bench_albumdialogs PRIVATE
        SAMPLES_PROGRAM="$<TARGET_FILE:snapfolio-samples>"
        CLI_PROGRAM="$<TARGET_FILE:snapfolio-cli>")
    add_dependencies(bench_albumdialogs snapfolio-samples snapfolio-cli program_data)
endif()

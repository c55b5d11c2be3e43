# Making an album from the make-album dialog, with its progress window,
# against snapfolio-cli make of the same photos; and how often the window
# answers during it. Needs an X server (xvfb-run -a scripts/bench.sh).
if(TARGET snapfolio_gui)
    add_executable(bench_dialogmake ${CMAKE_CURRENT_LIST_DIR}/dialogmake_bench.cpp)
    target_link_libraries(bench_dialogmake PRIVATE snapfolio_gui)
    target_compile_definitions(bench_dialogmake PRIVATE
        SAMPLES_PROGRAM="$<TARGET_FILE:snapfolio-samples>"
        CLI_PROGRAM="$<TARGET_FILE:snapfolio-cli>")
    add_dependencies(bench_dialogmake snapfolio-samples snapfolio-cli program_data)
endif()

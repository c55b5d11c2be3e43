# ASan + UBSan for the whole build: the test suite runs under them as its own
# CTest configuration (a second build tree configured with SNAPFOLIO_SANITIZE).
if(SNAPFOLIO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer for the album engine's workers: a third build tree, in
# which the test command runs the engine's tests.
if(SNAPFOLIO_TSAN)
    if(SNAPFOLIO_SANITIZE)
        message(FATAL_ERROR "SNAPFOLIO_TSAN and SNAPFOLIO_SANITIZE need build trees of their own")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# A fuzz build instruments every library for coverage, so the fuzzers are
# guided by the parsers they exercise, not only by their harness files.
if(SNAPFOLIO_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
    # Lets parsers skip checks that mutated input never passes (checksums).
    add_compile_definitions(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
endif()

# Helper for libraries: all sources of one folder, its headers reachable as
# "<folder>/<file>.h" from the project root.
function(sf_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

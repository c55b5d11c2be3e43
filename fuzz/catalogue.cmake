sf_fuzzer(fuzz_catalogue SOURCES ${CMAKE_CURRENT_LIST_DIR}/catalogue_fuzz.cpp DEPS glimlib_message SEEDS catalogue)

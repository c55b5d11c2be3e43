sf_fuzzer(fuzz_option SOURCES ${CMAKE_CURRENT_LIST_DIR}/option_fuzz.cpp DEPS glimlib_option SEEDS option)

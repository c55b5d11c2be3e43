sf_fuzzer(fuzz_marks SOURCES ${CMAKE_CURRENT_LIST_DIR}/marks_fuzz.cpp DEPS snapfolio_engine SEEDS marks)

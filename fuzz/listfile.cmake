sf_fuzzer(fuzz_listfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/listfile_fuzz.cpp DEPS glimvue_list SEEDS listfile)

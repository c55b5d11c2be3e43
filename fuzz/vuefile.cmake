# The view-state file reader.
sf_fuzzer(fuzz_vuefile SOURCES ${CMAKE_CURRENT_LIST_DIR}/vuefile_fuzz.cpp
          DEPS glimvue_vuefile SEEDS vuefile)

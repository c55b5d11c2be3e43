# The reader of ffmpeg's report on an input (size and duration of a movie).
sf_fuzzer(fuzz_ffreport SOURCES ${CMAKE_CURRENT_LIST_DIR}/ffreport_fuzz.cpp
          DEPS snapfolio_engine glimlib_message SEEDS ffreport)

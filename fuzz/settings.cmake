sf_fuzzer(fuzz_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_fuzz.cpp DEPS snapfolio_engine glimlib_message SEEDS settings)

# The self-contained JPEG segment scanner.
sf_fuzzer(fuzz_jpeginfo2 SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeginfo2_fuzz.cpp
          DEPS libgr_jpeg SEEDS jpeginfo2)

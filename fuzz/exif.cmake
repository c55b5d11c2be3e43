# The EXIF parser: APP1 payloads, and JPEG files through the scanner.
sf_fuzzer(fuzz_exif SOURCES ${CMAKE_CURRENT_LIST_DIR}/exif_fuzz.cpp
          DEPS libgr_jpeg SEEDS exif)

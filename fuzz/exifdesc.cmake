# The EXIF description writer over whatever the EXIF parser makes of the
# input (APP1 payloads, or JPEG files through the scanner).
sf_fuzzer(fuzz_exifdesc SOURCES ${CMAKE_CURRENT_LIST_DIR}/exifdesc_fuzz.cpp
          DEPS snapfolio_engine libgr_jpeg SEEDS exif)
if(SNAPFOLIO_FUZZ)
    # Coverage feedback from the description writer too.
    target_compile_options(snapfolio_engine PRIVATE -fsanitize=fuzzer-no-link)
endif()

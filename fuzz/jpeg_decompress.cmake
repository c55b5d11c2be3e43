# The libjpeg codec layer: header and segment collection, then decoding of
# pictures up to a megapixel, halving and re-encoding what was decoded.
sf_fuzzer(fuzz_jpeg_decompress SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeg_decompress_fuzz.cpp
          DEPS libgr_jpeg libgr_image libutils SEEDS jpeg_decompress)
if(SNAPFOLIO_FUZZ)
    # Coverage feedback from the codec glue and the pixel code as well.
    target_compile_options(libgr_jpeg PRIVATE -fsanitize=fuzzer-no-link)
    target_compile_options(libgr_image PRIVATE -fsanitize=fuzzer-no-link)
endif()

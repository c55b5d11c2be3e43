# The libjpeg codec layer: header and segment collection, then decoding of
# pictures up to a megapixel, halving and re-encoding what was decoded.
sf_fuzzer(fuzz_jpeg_decompress SOURCES ${CMAKE_CURRENT_LIST_DIR}/jpeg_decompress_fuzz.cpp
          DEPS libgr_jpeg libgr_image libutils SEEDS jpeg_decompress)

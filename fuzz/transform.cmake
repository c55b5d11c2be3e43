# libgr::transform over arbitrary bytes. Seeds: small files of the test
# fixture writer (tests/support/jpegfixture.h): 4:2:0, 4:2:2 with restarts,
# grey, progressive, CMYK, optimised, with partial MCUs; and an arithmetic-coded
# 16x16 gradient from `cjpeg -arithmetic -sample 2x2`.
sf_fuzzer(fuzz_transform SOURCES ${CMAKE_CURRENT_LIST_DIR}/transform_fuzz.cpp
          DEPS libgr_jpeg libutils SEEDS transform)

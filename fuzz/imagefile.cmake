# The picture file readers (BMP both ways, TGA, PNG) and their writers.
foreach(format bmp tga png)
    sf_fuzzer(fuzz_${format} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${format}_fuzz.cpp
              DEPS libgr_imagefile SEEDS ${format})
endforeach()

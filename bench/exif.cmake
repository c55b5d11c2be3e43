# EXIF parsing against exiftool (and exiv2) on the camera files.
add_executable(bench_exif ${CMAKE_CURRENT_LIST_DIR}/exif_bench.cpp)
target_link_libraries(bench_exif PRIVATE libgr_jpeg)
target_compile_definitions(bench_exif PRIVATE SNAPFOLIO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

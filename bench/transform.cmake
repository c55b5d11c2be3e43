# Lossless quarter turns against jpegtran.
add_executable(bench_transform ${CMAKE_CURRENT_LIST_DIR}/transform_bench.cpp
               ${PROJECT_SOURCE_DIR}/tests/support/jpegfixture.cpp)
target_include_directories(bench_transform PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(bench_transform PRIVATE SNAPFOLIO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_link_libraries(bench_transform PRIVATE libgr_jpeg libutils JPEG::JPEG)

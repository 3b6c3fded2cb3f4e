# Fuzz targets of the markup renderer (see cmake/fuzz-target.cmake: a sanitized replay of the
# seed corpus in every native test run, and libFuzzer programs, target markup-fuzzers, for long
# runs; see the README).
file(GLOB VT9_FUZZ_MARKUP_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/markup/*.cpp)
foreach(name render text gif)
  vt9_fuzz_target(markup_${name} ${CMAKE_CURRENT_LIST_DIR}/${name}_fuzzer.cpp
                  ${CMAKE_CURRENT_LIST_DIR}/corpus/${name} markup-fuzzers
                  ${VT9_FUZZ_MARKUP_CORE} ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
endforeach()

# Fuzz target of the page printer's column formats, friendly headers/footers and rows, built as
# the markup targets are (cmake/fuzz-target.cmake): a sanitized replay of the seed corpus that
# CTest runs, and a libFuzzer program with clang (target printing-fuzzers, not built by default).
file(GLOB VT9_FUZZ_PRINTING_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/printing/*.cpp
     ${CMAKE_SOURCE_DIR}/src/platform/*.cpp)
vt9_fuzz_target(printing_formats ${CMAKE_CURRENT_LIST_DIR}/formats_fuzzer.cpp
                ${CMAKE_CURRENT_LIST_DIR}/corpus/formats printing-fuzzers
                ${VT9_FUZZ_PRINTING_CORE} ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
# Pages laid out again from a line source against the same document with its lines kept.
vt9_fuzz_target(printing_replay ${CMAKE_CURRENT_LIST_DIR}/replay_fuzzer.cpp
                ${CMAKE_CURRENT_LIST_DIR}/corpus/replay printing-fuzzers
                ${VT9_FUZZ_PRINTING_CORE} ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)

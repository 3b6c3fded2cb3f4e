# Fuzz target of the page printer's column formats, friendly headers/footers and rows, built as
# the markup targets are: a sanitized replay program over the seed corpus that CTest runs, and
# a libFuzzer program with clang (target printing-fuzzers, not built by default).
set(VT9_FUZZ_PRINTING ${CMAKE_CURRENT_LIST_DIR})
file(GLOB VT9_FUZZ_PRINTING_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/printing/*.cpp
     ${CMAKE_SOURCE_DIR}/src/platform/*.cpp)
set(VT9_FUZZ_PRINTING_SOURCES ${VT9_FUZZ_PRINTING_CORE} ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
set(VT9_FUZZ_PRINTING_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_executable(printing_formats_replay ${VT9_FUZZ_PRINTING}/formats_fuzzer.cpp
               ${CMAKE_SOURCE_DIR}/fuzz/markup/replay_main.cpp ${VT9_FUZZ_PRINTING_SOURCES})
target_include_directories(printing_formats_replay PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(printing_formats_replay PRIVATE ${VT9_FUZZ_PRINTING_SANITIZE})
target_link_options(printing_formats_replay PRIVATE ${VT9_FUZZ_PRINTING_SANITIZE})
add_test(NAME fuzz_replay_printing_formats
         COMMAND printing_formats_replay ${VT9_FUZZ_PRINTING}/corpus/formats)

find_program(VT9_CLANGXX NAMES clang++)
if(VT9_CLANGXX)
  set(out ${CMAKE_BINARY_DIR}/fuzz/printing_formats_fuzzer)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
    COMMAND ${VT9_CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined
            -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tests
            ${VT9_FUZZ_PRINTING}/formats_fuzzer.cpp ${VT9_FUZZ_PRINTING_SOURCES} -o ${out}
    DEPENDS ${VT9_FUZZ_PRINTING}/formats_fuzzer.cpp ${VT9_FUZZ_PRINTING_SOURCES}
    COMMENT "libFuzzer target printing_formats_fuzzer"
    VERBATIM)
  add_custom_target(printing-fuzzers DEPENDS ${out})
endif()

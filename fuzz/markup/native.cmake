# Fuzz targets of the markup renderer. Each target is built twice:
#  - as a replay program (normal compiler, address and undefined-behaviour sanitizers) that runs
#    the seed corpus once; CTest runs it with every native test run;
#  - as a libFuzzer program with clang (target markup-fuzzers, not built by default) for long
#    runs; see the README.
set(VT9_FUZZ_MARKUP ${CMAKE_CURRENT_LIST_DIR})
file(GLOB VT9_FUZZ_MARKUP_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/markup/*.cpp)
set(VT9_FUZZ_MARKUP_SOURCES ${VT9_FUZZ_MARKUP_CORE} ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
set(VT9_FUZZ_MARKUP_TARGETS render text gif)
set(VT9_FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

foreach(name ${VT9_FUZZ_MARKUP_TARGETS})
  set(target markup_${name}_replay)
  add_executable(${target} ${VT9_FUZZ_MARKUP}/${name}_fuzzer.cpp ${VT9_FUZZ_MARKUP}/replay_main.cpp
                 ${VT9_FUZZ_MARKUP_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res
                             ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${target} PRIVATE ${VT9_FUZZ_SANITIZE})
  target_link_options(${target} PRIVATE ${VT9_FUZZ_SANITIZE})
  add_test(NAME fuzz_replay_markup_${name} COMMAND ${target} ${VT9_FUZZ_MARKUP}/corpus/${name})
endforeach()

find_program(VT9_CLANGXX NAMES clang++)
if(VT9_CLANGXX)
  set(fuzzers)
  foreach(name ${VT9_FUZZ_MARKUP_TARGETS})
    set(out ${CMAKE_BINARY_DIR}/fuzz/markup_${name}_fuzzer)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
      COMMAND ${VT9_CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined
              -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_SOURCE_DIR}/tests
              ${VT9_FUZZ_MARKUP}/${name}_fuzzer.cpp ${VT9_FUZZ_MARKUP_SOURCES} -o ${out}
      DEPENDS ${VT9_FUZZ_MARKUP}/${name}_fuzzer.cpp ${VT9_FUZZ_MARKUP_SOURCES}
      COMMENT "libFuzzer target markup_${name}_fuzzer"
      VERBATIM)
    list(APPEND fuzzers ${out})
  endforeach()
  add_custom_target(markup-fuzzers DEPENDS ${fuzzers})
endif()

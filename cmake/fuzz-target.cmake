# A fuzz target, built twice from its fuzzer source `fuzz/<area>/...` and the `sources` it needs:
#  - `<name>_replay`, with the normal compiler and the address and undefined-behaviour
#    sanitizers, runs the seed corpus once; CTest runs it as `fuzz_replay_<name>` with every
#    native test run;
#  - where clang is found, the libFuzzer program `fuzz/<name>_fuzzer` for long runs, built by the
#    custom target `group` (not built by default; several fuzzers may share a group).
# Usage: vt9_fuzz_target(name fuzzer.cpp corpus-folder group sources...)
set(VT9_FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
find_program(VT9_CLANGXX NAMES clang++)

function(vt9_fuzz_target name fuzzer corpus group)
  set(sources ${ARGN})
  set(includes ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res ${CMAKE_SOURCE_DIR}/tests)
  add_executable(${name}_replay ${fuzzer} ${CMAKE_SOURCE_DIR}/fuzz/markup/replay_main.cpp ${sources})
  target_include_directories(${name}_replay PRIVATE ${includes})
  target_compile_options(${name}_replay PRIVATE ${VT9_FUZZ_SANITIZE})
  target_link_options(${name}_replay PRIVATE ${VT9_FUZZ_SANITIZE})
  add_test(NAME fuzz_replay_${name} COMMAND ${name}_replay ${corpus})

  if(VT9_CLANGXX)
    set(out ${CMAKE_BINARY_DIR}/fuzz/${name}_fuzzer)
    list(TRANSFORM includes PREPEND -I)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
      COMMAND ${VT9_CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined ${includes}
              ${fuzzer} ${sources} -o ${out}
      DEPENDS ${fuzzer} ${sources}
      COMMENT "libFuzzer target ${name}_fuzzer"
      VERBATIM)
    add_custom_target(${name}_fuzzer_program DEPENDS ${out})
    if(NOT TARGET ${group})
      add_custom_target(${group})
    endif()
    add_dependencies(${group} ${name}_fuzzer_program)
  endif()
endfunction()

# Fuzz target of the log document, built like the markup fuzzers: a replay program (address and
# undefined-behaviour sanitizers) that CTest runs over the seed corpus, and a libFuzzer program
# with clang (target log-document-fuzzer, not built by default) for long runs.
set(VT9_FUZZ_LOGDOC ${CMAKE_CURRENT_LIST_DIR})
file(GLOB VT9_FUZZ_LOGDOC_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/viewer/log_*.cpp)
set(VT9_FUZZ_LOGDOC_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_executable(log_document_replay ${VT9_FUZZ_LOGDOC}/log_document_fuzzer.cpp
               ${CMAKE_SOURCE_DIR}/fuzz/markup/replay_main.cpp ${VT9_FUZZ_LOGDOC_CORE})
target_include_directories(log_document_replay PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(log_document_replay PRIVATE ${VT9_FUZZ_LOGDOC_SANITIZE})
target_link_options(log_document_replay PRIVATE ${VT9_FUZZ_LOGDOC_SANITIZE})
add_test(NAME fuzz_replay_log_document COMMAND log_document_replay ${VT9_FUZZ_LOGDOC}/corpus)

find_program(VT9_CLANGXX NAMES clang++)
if(VT9_CLANGXX)
  set(out ${CMAKE_BINARY_DIR}/fuzz/log_document_fuzzer)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
    COMMAND ${VT9_CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined
            -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tests
            ${VT9_FUZZ_LOGDOC}/log_document_fuzzer.cpp ${VT9_FUZZ_LOGDOC_CORE} -o ${out}
    DEPENDS ${VT9_FUZZ_LOGDOC}/log_document_fuzzer.cpp ${VT9_FUZZ_LOGDOC_CORE}
    COMMENT "libFuzzer target log_document_fuzzer"
    VERBATIM)
  add_custom_target(log-document-fuzzer DEPENDS ${out})
endif()

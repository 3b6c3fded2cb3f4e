# Fuzz target of the log document, built like the markup fuzzers (cmake/fuzz-target.cmake): a
# sanitized replay of the seed corpus that CTest runs, and a libFuzzer program with clang
# (target log-document-fuzzer, not built by default) for long runs.
file(GLOB VT9_FUZZ_LOGDOC_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/logs/*.cpp)
vt9_fuzz_target(log_document ${CMAKE_CURRENT_LIST_DIR}/log_document_fuzzer.cpp
                ${CMAKE_CURRENT_LIST_DIR}/corpus log-document-fuzzer ${VT9_FUZZ_LOGDOC_CORE})

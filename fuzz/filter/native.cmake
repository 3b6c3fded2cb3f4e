# Fuzz target of the filter (cmake/fuzz-target.cmake): expressions and filters over random
# patterns and logs against the backtracking reference in tests/support; a sanitized replay of
# the seed corpus runs with CTest, and a libFuzzer program (target filter-fuzzer) with clang.
file(GLOB VT9_FUZZ_FILTER_CORE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/logs/*.cpp)
vt9_fuzz_target(filter ${CMAKE_CURRENT_LIST_DIR}/filter_fuzzer.cpp ${CMAKE_CURRENT_LIST_DIR}/corpus
                filter-fuzzer ${VT9_FUZZ_FILTER_CORE})

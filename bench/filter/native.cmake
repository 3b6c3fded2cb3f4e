# filter-bench: the filter's speeds on a generated log held in memory: first matches, whole
# passes with a plain term and an expression, the match set's memory, and indexing with the
# problem pass against without.
add_executable(filter-bench ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(filter-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(filter-bench PRIVATE vt9core)

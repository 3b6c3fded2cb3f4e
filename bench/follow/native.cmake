# follow-bench: the cost of following a growing log (a growth step over a 1 GB log, the index's
# memory after following 1 GB of appended lines), on a generated log made as it is read.
add_executable(follow-bench ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(follow-bench PRIVATE vt9core)

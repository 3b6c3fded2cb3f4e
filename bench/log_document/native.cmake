# log-document-bench: indexing and search speeds of the log document and its index's size per
# line, on a generated log held in memory.
add_executable(log-document-bench ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(log-document-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(log-document-bench PRIVATE vt9core)

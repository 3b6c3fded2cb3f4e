# log-document-bench for Windows: the same figures from the MinGW build, run under Wine.
add_executable(log-document-bench ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(log-document-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(log-document-bench PRIVATE vt9win)
target_link_options(log-document-bench PRIVATE ${VT9_STATIC_LINK})

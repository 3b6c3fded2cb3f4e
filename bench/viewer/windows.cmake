add_executable(bench_viewer ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(bench_viewer PRIVATE vt9win psapi)
target_link_options(bench_viewer PRIVATE ${VT9_STATIC_LINK})

# bench_follow.exe: the viewer following a growing log under Wine (see wine_main.cpp, run.sh).
add_executable(bench_follow ${CMAKE_CURRENT_LIST_DIR}/wine_main.cpp)
target_link_libraries(bench_follow PRIVATE vt9win psapi)
target_link_options(bench_follow PRIVATE ${VT9_STATIC_LINK})

# Times the building of the special-folder lists, which every start of the tool pays for.
add_executable(bench_special_folders ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(bench_special_folders PRIVATE vt9win)
target_link_options(bench_special_folders PRIVATE ${VT9_STATIC_LINK})

# Times the building of the special-folder lists, which every start of the tool pays for.
add_executable(bench_folder_lists ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(bench_folder_lists PRIVATE vt9win)
target_link_options(bench_folder_lists PRIVATE ${VT9_STATIC_LINK})

# bench_pagination.exe: the Windows page printer's layout (real GDI measuring) and printing of a
# log read as a line source; bench/pagination/run-wine.sh runs it against enscript.
add_executable(bench_pagination ${CMAKE_CURRENT_LIST_DIR}/windows_main.cpp)
target_link_libraries(bench_pagination PRIVATE vt9win psapi)
target_link_options(bench_pagination PRIVATE ${VT9_STATIC_LINK})

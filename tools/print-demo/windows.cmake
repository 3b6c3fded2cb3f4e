# print-demo.exe: lays out a text file with a header, footer and table format, then prints it
# to the default printer or shows the page printer's preview.
add_executable(print-demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(print-demo PRIVATE vt9win)
target_link_options(print-demo PRIVATE ${VT9_STATIC_LINK})

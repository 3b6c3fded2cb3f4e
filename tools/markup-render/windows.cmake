# markup-render.exe: renders a markup text with real GDI fonts into a PNG or BMP file.
add_executable(markup-render ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(markup-render PRIVATE vt9win)
target_link_options(markup-render PRIVATE ${VT9_STATIC_LINK})

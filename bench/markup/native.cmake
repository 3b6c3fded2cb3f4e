# markup-bench: time per RenderMarkup call for the reminder text and for long markup texts.
add_executable(markup-bench ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
target_include_directories(markup-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(markup-bench PRIVATE vt9core)

# markup-dump: prints how the markup renderer lays out a text, on the deterministic canvas.
add_executable(markup-dump ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
target_include_directories(markup-dump PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(markup-dump PRIVATE vt9core)

# pagination-bench: lays out a generated backup log of a million lines on the fixed-metric
# canvas and reports the time and memory; bench/pagination/run.sh compares it with enscript.
add_executable(pagination-bench ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
target_include_directories(pagination-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(pagination-bench PRIVATE vt9core)

# markup-dump: prints how the markup renderer lays out a text, on the deterministic canvas.
add_executable(markup-dump ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${CMAKE_SOURCE_DIR}/tests/support/fake_canvas.cpp)
target_include_directories(markup-dump PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(markup-dump PRIVATE vt9core)

# Golden outputs: each golden/<name>.txt is dumped with the options in golden/<name>.args and
# compared with golden/<name>.out. Regenerate one with
#   build/native/markup-dump $(cat tools/markup-dump/golden/NAME.args) tools/markup-dump/golden/NAME.txt > tools/markup-dump/golden/NAME.out
file(GLOB VT9_DUMP_GOLDEN ${CMAKE_CURRENT_LIST_DIR}/golden/*.txt)
foreach(input ${VT9_DUMP_GOLDEN})
  get_filename_component(name ${input} NAME_WE)
  get_filename_component(dir ${input} DIRECTORY)
  add_test(NAME markup_dump_golden_${name}
           COMMAND sh -c "\"$0\" $(cat \"$1.args\") \"$1.txt\" | diff -u \"$1.out\" -"
                   $<TARGET_FILE:markup-dump> ${dir}/${name})
endforeach()

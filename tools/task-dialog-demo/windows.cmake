# task-dialog-demo.exe: the log viewer's three task dialogs and one with every feature, on the
# native path or in our own window (/own), for looking at them and for screenshots.
set(VT9_TASK_DIALOG_RESOURCES ${CMAKE_SOURCE_DIR}/res/task_dialog_bitmaps.rc
    ${CMAKE_SOURCE_DIR}/res/common_controls_v6.rc)
add_executable(task-dialog-demo ${CMAKE_CURRENT_LIST_DIR}/main.cpp ${VT9_TASK_DIALOG_RESOURCES})
# The manifest is configured for the build's processor into ${CMAKE_BINARY_DIR}/res.
target_include_directories(task-dialog-demo PRIVATE ${CMAKE_SOURCE_DIR}/tools ${CMAKE_BINARY_DIR}/res)
target_link_libraries(task-dialog-demo PRIVATE vt9win)
target_link_options(task-dialog-demo PRIVATE ${VT9_STATIC_LINK})

add_test(NAME task_dialog_demo_runs COMMAND task-dialog-demo /close-after 1500)
set_tests_properties(task_dialog_demo_runs PROPERTIES FIXTURES_REQUIRED wineprefix TIMEOUT 120
  ENVIRONMENT "${VT9_WINE_TEST_ENV}"
  PASS_REGULAR_EXPRESSION "everything: result")

# The task dialog's window tests show both paths with the same pictures and manifest.
foreach(test_target win_task_dialog_test win_task_dialog_own_window_test win_task_dialog_runs_test
    win_task_dialog_readers_test)
  if(TARGET ${test_target})
    target_sources(${test_target} PRIVATE ${VT9_TASK_DIALOG_RESOURCES})
    target_include_directories(${test_target} PRIVATE ${CMAKE_SOURCE_DIR}/tools ${CMAKE_BINARY_DIR}/res)
  endif()
endforeach()

# task-dialog-reader.exe: what a screen reader in another process reads of a dialog's windows.
add_executable(task-dialog-reader ${CMAKE_CURRENT_LIST_DIR}/reader.cpp)
target_link_libraries(task-dialog-reader PRIVATE oleacc ole32 oleaut32)
target_link_options(task-dialog-reader PRIVATE ${VT9_STATIC_LINK})
if(TARGET win_task_dialog_readers_test)
  add_dependencies(win_task_dialog_readers_test task-dialog-reader)
endif()

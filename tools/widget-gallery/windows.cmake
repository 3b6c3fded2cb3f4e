# widget-gallery.exe: every check-box style in each state and a set of markup panels, for
# looking at the controls (and for the window tests' screenshots).
add_executable(widget-gallery WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp
               ${CMAKE_SOURCE_DIR}/res/check_bitmaps.rc ${CMAKE_CURRENT_LIST_DIR}/gallery.rc)
target_link_libraries(widget-gallery PRIVATE vt9win)
target_link_options(widget-gallery PRIVATE ${VT9_STATIC_LINK})

# The check box's window tests draw the mark bitmaps too, so they carry the same pictures.
# They also carry two pictures to name with RES://: one good, one that cannot be decoded.
foreach(test_target win_widgets_check_box_test win_widgets_panel_test win_widgets_info_window_test
                    win_widgets_pixels_test)
  if(TARGET ${test_target})
    target_sources(${test_target} PRIVATE ${CMAKE_SOURCE_DIR}/res/check_bitmaps.rc
                   ${CMAKE_SOURCE_DIR}/tests/win/markup_pictures.rc)
    add_dependencies(${test_target} widget-gallery)
  endif()
endforeach()

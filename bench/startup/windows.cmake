add_executable(empty-win32 WIN32 ${CMAKE_CURRENT_LIST_DIR}/empty.c)
target_link_options(empty-win32 PRIVATE ${VT9_STATIC_LINK})

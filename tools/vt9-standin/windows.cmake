add_executable(vt9 WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_options(vt9 PRIVATE ${VT9_STATIC_LINK})

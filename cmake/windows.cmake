# Windows build: the product, the stand-in main program, and the tests run under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# Static runtime: the product must need nothing beyond the system DLLs.
set(VT9_STATIC_LINK -static -static-libgcc -static-libstdc++)
set(VT9_SYSTEM_LIBS comctl32 comdlg32 shell32 ole32 oleaut32 uuid gdi32 user32 advapi32 kernel32 msimg32 version)

# The Windows layer: every .cpp under a win/ folder except the program entry.
file(GLOB_RECURSE VT9_WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/win/*.cpp)
list(FILTER VT9_WIN_SOURCES EXCLUDE REGEX "/src/app/win/main\\.cpp$|/src/app/win/lazy/")
add_library(vt9win STATIC ${VT9_WIN_SOURCES})
target_link_libraries(vt9win PUBLIC vt9core ${VT9_SYSTEM_LIBS})
target_compile_definitions(vt9win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# The shipped 32-bit product imports only kernel32, advapi32 and the C runtime; every other
# system function is bound on its first call through the generated lazy import table (see
# lazy_imports.cpp), so a start that shows no window never loads the window libraries. The
# 64-bit test build links the same code with ordinary imports: it exists to run the tests on
# hosts without 32-bit execution, and the start-up figure is the 32-bit product's.
add_executable(VT9Now WIN32 ${CMAKE_SOURCE_DIR}/src/app/win/main.cpp ${CMAKE_SOURCE_DIR}/res/VT9Now.rc)
# The manifest names the processor of the executable, for itself and for the common controls it
# binds to: a 64-bit program that asks for the x86 common controls cannot start at all.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VT9_MANIFEST_ARCH amd64)
else()
  set(VT9_MANIFEST_ARCH x86)
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/VT9Now.manifest.in ${CMAKE_BINARY_DIR}/res/VT9Now.manifest @ONLY)
target_include_directories(VT9Now PRIVATE ${CMAKE_BINARY_DIR}/res)
target_link_libraries(VT9Now PRIVATE vt9win)
target_link_options(VT9Now PRIVATE ${VT9_STATIC_LINK})
# A shipped build carries no symbol tables: half the file, and less for every start to map.
target_link_options(VT9Now PRIVATE $<$<CONFIG:Release>:-s>)
target_compile_definitions(VT9Now PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(VT9_LAZY_LIST ${CMAKE_SOURCE_DIR}/src/app/win/lazy/imports.txt)
  set(VT9_LAZY_ASM ${CMAKE_BINARY_DIR}/lazy_imports.s)
  add_custom_command(OUTPUT ${VT9_LAZY_ASM}
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/make-lazy-imports.sh ${VT9_LAZY_LIST} ${VT9_LAZY_ASM}
    DEPENDS ${VT9_LAZY_LIST} ${CMAKE_SOURCE_DIR}/cmake/make-lazy-imports.sh VERBATIM)
  enable_language(ASM)
  set_source_files_properties(${VT9_LAZY_ASM} PROPERTIES LANGUAGE ASM)
  target_sources(VT9Now PRIVATE ${CMAKE_SOURCE_DIR}/src/app/win/lazy/lazy_imports.cpp ${VT9_LAZY_ASM})

  # Whatever the product calls must be in the lazy list, or its library is imported again.
  add_test(NAME VT9Now_imports_only_base_libraries
    COMMAND sh -c "i686-w64-mingw32-objdump -p $<TARGET_FILE:VT9Now> | sed -n 's/^.*DLL Name: //p' | tr A-Z a-z | sort | tr '\\n' ' ' | grep -qx 'advapi32.dll kernel32.dll msvcrt.dll '")
endif()

# GoogleTest built with the cross compiler for the Wine-run tests.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)


# One private Wine prefix per build tree; every Wine test depends on it being ready.
set(VT9_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
add_test(NAME wine_prefix_setup COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${VT9_WINEPREFIX} ${VT9_WINE_ARCH})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wineprefix)
add_test(NAME wine_prefix_stop COMMAND sh -c "WINEPREFIX=${VT9_WINEPREFIX} /usr/lib/wine/wineserver -k || true")
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wineprefix)

file(GLOB VT9_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/win/*.cpp)
add_library(vt9testsupport STATIC ${VT9_TEST_SUPPORT})
target_include_directories(vt9testsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(vt9testsupport PUBLIC vt9win gtest)

# Each test source is its own program, run by CTest under Wine in the private prefix.
function(vt9_add_wine_tests folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*_test.cpp)
  foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    set(target ${folder}_${name})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE vt9testsupport gtest_main)
    target_link_options(${target} PRIVATE ${VT9_STATIC_LINK})
    add_dependencies(${target} VT9Now vt9)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
      FIXTURES_REQUIRED wineprefix
      TIMEOUT 300
      ENVIRONMENT "WINEPREFIX=${VT9_WINEPREFIX};WINEDEBUG=-all;WINEARCH=${VT9_WINE_ARCH};WINELOADER=${VT9_WINE_LOADER};VT9_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts")
  endforeach()
endfunction()
vt9_add_wine_tests(win)
vt9_add_wine_tests(ui)
include(${CMAKE_CURRENT_LIST_DIR}/pdf-printer.cmake)

# Each Windows developer tool and benchmark keeps its build rules beside its sources.
file(GLOB VT9_WINDOWS_PARTS ${CMAKE_SOURCE_DIR}/tools/*/windows.cmake ${CMAKE_SOURCE_DIR}/bench/*/windows.cmake)
foreach(part ${VT9_WINDOWS_PARTS})
  include(${part})
endforeach()

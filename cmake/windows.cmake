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

# The product imports only kernel32 and the C runtime; every other system function is bound on
# its first call, so a start that shows no window never loads the window libraries (nor
# advapi32: the registry functions are taken from kernelbase where it has them).
# The shipped 32-bit build does it through the generated lazy import table (see
# lazy_imports.cpp); the 64-bit test build through the toolchain's delay-load libraries made
# from the same list, so both load the same libraries at the same moments (Wine's spooler, for
# one, rereads the printers when it loads).
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
# Sections start on page boundaries in the file as well as in memory, so the loader can map
# them straight from the file and the start touches only the pages it runs. With the usual
# 512-byte alignment Wine cannot map them and reads the whole image (2 MB, most of it the
# viewer, printer and dialogs a reminder check never runs) into memory at every start.
target_link_options(VT9Now PRIVATE -Wl,--file-alignment,4096)
target_compile_definitions(VT9Now PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
set(VT9_LAZY_LIST ${CMAKE_SOURCE_DIR}/src/app/win/lazy/imports.txt)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(VT9_LAZY_ASM ${CMAKE_BINARY_DIR}/lazy_imports.s)
  add_custom_command(OUTPUT ${VT9_LAZY_ASM}
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/make-lazy-imports.sh ${VT9_LAZY_LIST} ${VT9_LAZY_ASM}
    DEPENDS ${VT9_LAZY_LIST} ${CMAKE_SOURCE_DIR}/cmake/make-lazy-imports.sh VERBATIM)
  enable_language(ASM)
  set_source_files_properties(${VT9_LAZY_ASM} PROPERTIES LANGUAGE ASM)
  target_sources(VT9Now PRIVATE ${CMAKE_SOURCE_DIR}/src/app/win/lazy/lazy_imports.cpp ${VT9_LAZY_ASM})

else()
  # One delay-load import library per system library of the list.
  file(STRINGS ${VT9_LAZY_LIST} vt9_lazy_lines REGEX "^[A-Za-z]")
  set(vt9_delay_dlls)
  foreach(line ${vt9_lazy_lines})
    string(REGEX REPLACE "^([^ ]+) +([^ ]+).*$" "\\1" dll "${line}")
    string(REGEX REPLACE "^([^ ]+) +([^ ]+).*$" "\\2" function "${line}")
    string(MAKE_C_IDENTIFIER "${dll}" key)
    list(APPEND vt9_delay_dlls ${dll})
    string(APPEND vt9_delay_exports_${key} "  ${function}\n")
  endforeach()
  list(REMOVE_DUPLICATES vt9_delay_dlls)
  # On x86-64 these are functions of their own; the 32-bit headers map them to GetWindowLongA.
  string(APPEND vt9_delay_exports_user32 "  GetWindowLongPtrA\n  SetWindowLongPtrA\n")
  set(vt9_delay_libs)
  foreach(dll ${vt9_delay_dlls})
    string(MAKE_C_IDENTIFIER "${dll}" key)
    set(file_name ${dll})
    if(NOT file_name MATCHES "\\.")
      set(file_name ${dll}.dll)
    endif()
    set(def ${CMAKE_BINARY_DIR}/delayload/${key}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${key}_delay.a)
    file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${file_name}\nEXPORTS\n${vt9_delay_exports_${key}}")
    add_custom_command(OUTPUT ${lib}
      COMMAND x86_64-w64-mingw32-dlltool --input-def ${def} --output-delaylib ${lib} --dllname ${file_name}
      DEPENDS ${def} VERBATIM)
    list(APPEND vt9_delay_libs ${lib})
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VT9_LAZY_LIST})
  add_custom_target(vt9_delay_libs DEPENDS ${vt9_delay_libs})
  add_dependencies(VT9Now vt9_delay_libs)
  # Ahead of the ordinary import libraries that vt9win brings, so these bind the calls.
  target_link_libraries(VT9Now PRIVATE ${vt9_delay_libs})
  target_sources(VT9Now PRIVATE ${CMAKE_SOURCE_DIR}/src/app/win/lazy/delay_load_hook.cpp)
endif()

# Whatever the product calls must be in the lazy list, or its library is imported again.
add_test(NAME VT9Now_imports_only_base_libraries
  COMMAND sh -c "${CMAKE_OBJDUMP} -p $<TARGET_FILE:VT9Now> | sed -n '/^The Import Tables/,/^The Delay Import/p' | sed -n 's/^.*DLL Name: //p' | tr A-Z a-z | sort | tr '\\n' ' ' | grep -qx 'kernel32.dll msvcrt.dll '")

# GoogleTest built with the cross compiler for the Wine-run tests.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)


# One private Wine prefix per build tree; every Wine test depends on it being ready.
set(VT9_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# The tree's own print server (cmake/pdf-printer.cmake). Every Wine program of the tests asks it,
# never the system's scheduler, for the printers: Wine syncs the prefix's printers with what the
# print server it reaches lists. A Unix socket path holds at most 107 bytes; a deeper tree keeps
# its socket in the system temp folder.
set(VT9_PRINT_SERVER ${CMAKE_BINARY_DIR}/print-server)
set(VT9_CUPS_SOCKET ${VT9_PRINT_SERVER}/cups.sock)
string(LENGTH "${VT9_CUPS_SOCKET}" vt9_socket_length)
if(vt9_socket_length GREATER 100)
  string(MD5 vt9_tree_hash "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${vt9_tree_hash}" 0 12 vt9_tree_hash)
  set(VT9_CUPS_SOCKET /tmp/vt9-cups-${vt9_tree_hash}/cups.sock)
endif()
# Nothing of the tests lands outside the tree: Wine's menu builder, which writes desktop entries
# and menus into the home folder, stays off, and the font caches Wine's first start may build
# (a kind of Wine not run on this machine before) go into the tree, ahead of the system's.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/fontconfig/fonts.conf CONTENT [[<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>@CMAKE_BINARY_DIR@/fontconfig/cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
</fontconfig>
]] @ONLY)
set(VT9_HOST_ENV
  "CUPS_SERVER=${VT9_CUPS_SOCKET};WINEDLLOVERRIDES=winemenubuilder.exe=d;FONTCONFIG_FILE=${CMAKE_BINARY_DIR}/fontconfig/fonts.conf")
set(VT9_WINE_TEST_ENV
  "WINEPREFIX=${VT9_WINEPREFIX};WINEDEBUG=-all;WINEARCH=${VT9_WINE_ARCH};WINELOADER=${VT9_WINE_LOADER};${VT9_HOST_ENV}")
add_test(NAME wine_prefix_setup COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${VT9_WINEPREFIX} ${VT9_WINE_ARCH})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wineprefix ENVIRONMENT "${VT9_HOST_ENV}")
add_test(NAME wine_prefix_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh --stop ${VT9_WINEPREFIX})
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
      ENVIRONMENT "${VT9_WINE_TEST_ENV};VT9_WINE_LOADER=${VT9_WINE_LOADER};VT9_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts;VT9_PDF_DIR=${VT9_PRINT_SERVER}/pdf")
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

# A real printer for the Wine tests that print: CUPS with a cups-pdf queue "PDF" as the default
# printer (scripts/pdf-printer.sh), made known to the test prefix by one program that loads
# winspool.drv. Every Wine test whose name contains "print" requires it.
add_executable(list-printers ${CMAKE_SOURCE_DIR}/tools/list-printers/main.c)
target_link_libraries(list-printers PRIVATE winspool)
target_link_options(list-printers PRIVATE ${VT9_STATIC_LINK})

add_test(NAME pdf_printer_setup
  COMMAND sh -c "${CMAKE_SOURCE_DIR}/scripts/pdf-printer.sh && ${VT9_WINE_LOADER} $<TARGET_FILE:list-printers>")
set_tests_properties(pdf_printer_setup PROPERTIES
  FIXTURES_SETUP pdf_printer
  FIXTURES_REQUIRED wineprefix
  ENVIRONMENT "WINEPREFIX=${VT9_WINEPREFIX};WINEDEBUG=-all;WINEARCH=${VT9_WINE_ARCH};WINELOADER=${VT9_WINE_LOADER}")

get_property(vt9_all_tests DIRECTORY PROPERTY TESTS)
foreach(test ${vt9_all_tests})
  if(test MATCHES "^(win|ui)_.*print")
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED pdf_printer)
  endif()
endforeach()

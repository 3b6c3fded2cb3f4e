# A real printer for the Wine tests that print: a CUPS scheduler of the tree's own
# (scripts/print-server.sh) with the queues "PDF" (A4, the default printer) and "PDFLetter",
# writing PDF files into ${VT9_PRINT_SERVER}/pdf, made known to the test prefix by one program
# that loads winspool.drv. Every Wine test whose name contains "print" requires it; the
# fixture's cleanup stops the server, also after a failed test. VT9_PRINT_SERVER, VT9_CUPS_SOCKET
# and VT9_WINE_TEST_ENV come from windows.cmake.
add_executable(list-printers ${CMAKE_SOURCE_DIR}/tools/list-printers/main.c)
target_link_libraries(list-printers PRIVATE winspool)
target_link_options(list-printers PRIVATE ${VT9_STATIC_LINK})

# Wine copies the queues and the default printer into the prefix when the spooler loads.
add_test(NAME pdf_printer_setup
  COMMAND sh -c "${CMAKE_SOURCE_DIR}/scripts/print-server.sh start '${VT9_PRINT_SERVER}' '${VT9_CUPS_SOCKET}' && ${VT9_WINE_LOADER} '$<TARGET_FILE:list-printers>' | tee /dev/stderr | grep -q '^default: PDF,'")
set_tests_properties(pdf_printer_setup PROPERTIES
  FIXTURES_SETUP pdf_printer
  FIXTURES_REQUIRED wineprefix
  ENVIRONMENT "${VT9_WINE_TEST_ENV}")
add_test(NAME pdf_printer_stop
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/print-server.sh stop ${VT9_PRINT_SERVER} ${VT9_CUPS_SOCKET})
# Before the prefix's own cleanup, which then ends the Wine processes that printed.
set_tests_properties(pdf_printer_stop PROPERTIES
  FIXTURES_CLEANUP pdf_printer
  FIXTURES_REQUIRED wineprefix)

get_property(vt9_all_tests DIRECTORY PROPERTY TESTS)
foreach(test ${vt9_all_tests})
  if(test MATCHES "^(win|ui)_.*print")
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED pdf_printer)
  endif()
endforeach()

# Last of all: neither the print server nor any Wine process of this tree's prefix is left.
add_test(NAME test_bed_leaves_no_process
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/test-bed-check.sh ${VT9_WINEPREFIX} ${VT9_PRINT_SERVER})
set_tests_properties(test_bed_leaves_no_process PROPERTIES
  FIXTURES_CLEANUP "wineprefix;pdf_printer"
  DEPENDS "wine_prefix_stop;pdf_printer_stop")

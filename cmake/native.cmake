# Native build: the portable core, its unit tests, developer tools, benchmarks and fuzz targets.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB VT9_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
file(GLOB VT9_UNIT_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_executable(unit_tests ${VT9_UNIT_TESTS} ${VT9_UNIT_SUPPORT})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(unit_tests PRIVATE vt9core GTest::gtest GTest::gtest_main)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 30)

# Each developer tool, benchmark and fuzz target keeps its build rules beside its sources.
include(${CMAKE_SOURCE_DIR}/cmake/fuzz-target.cmake)
file(GLOB VT9_NATIVE_PARTS ${CMAKE_SOURCE_DIR}/tools/*/native.cmake
     ${CMAKE_SOURCE_DIR}/bench/*/native.cmake ${CMAKE_SOURCE_DIR}/fuzz/*/native.cmake)
foreach(part ${VT9_NATIVE_PARTS})
  include(${part})
endforeach()

# The install script's decisions (package lists per host kind, retries, the broken-mirror
# fallback and its messages) against a fake package system.
add_test(NAME install_deps_decisions
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/install_deps_test.sh)
set_tests_properties(install_deps_decisions PROPERTIES TIMEOUT 300)

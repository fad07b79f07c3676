# Wine tests: the Linux build's CTest runs the programs of the Windows build (build-win/, made by
# `scripts/build.sh win`) under Wine through run-wine.sh. All Wine tests of one CTest run share
# one throw-away prefix with a virtual display: the fixture test wine_prefix_init makes it in the
# build folder, wine_prefix_remove stops its processes and removes it.
#
#   tarvik_add_wine_test(NAME name COMMAND program args... [TIMEOUT seconds])
#
# adds a test labelled "wine" that needs the prefix and runs alone among the Wine tests; it
# finds in its environment TARVIK_WINEPREFIX (which run-wine.sh uses by default),
# TARVIK_WINE_RUN (the path of run-wine.sh) and TARVIK_WIN_BUILD_DIR. The Windows programs are
# not built with the sanitizers, so the sanitizer build registers no Wine tests.
set(TARVIK_WIN_BUILD_DIR "${CMAKE_SOURCE_DIR}/build-win"
    CACHE PATH "The Windows build whose programs the Wine tests run")
set(TARVIK_WINE_RUN "${CMAKE_SOURCE_DIR}/tests/wine/run-wine.sh")
set(TARVIK_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")

find_program(TARVIK_WINE_PROGRAM wine)
set(TARVIK_WINE_TESTS OFF)
if(NOT TARVIK_SANITIZE AND TARVIK_WINE_PROGRAM)
  set(TARVIK_WINE_TESTS ON)
endif()

# The shared prefix's fixture, registered once by whichever directory includes this file first.
get_property(tarvik_wine_included GLOBAL PROPERTY TARVIK_WINE_INCLUDED)
set_property(GLOBAL PROPERTY TARVIK_WINE_INCLUDED ON)
if(tarvik_wine_included)
  # registered already
elseif(TARVIK_SANITIZE)
  message(STATUS "Wine tests: registered in the unsanitized builds only")
elseif(NOT TARVIK_WINE_PROGRAM)
  message(WARNING "Wine not found: the Windows programs are not tested "
                  "(scripts/setup-debian.sh installs it)")
else()
  add_test(NAME wine_prefix_init
           COMMAND ${TARVIK_WINE_RUN} --prefix ${TARVIK_WINE_PREFIX} --init --display)
  set_tests_properties(wine_prefix_init PROPERTIES FIXTURES_SETUP wine_prefix LABELS wine
                                                   TIMEOUT 300)
  add_test(NAME wine_prefix_remove COMMAND ${TARVIK_WINE_RUN} --prefix ${TARVIK_WINE_PREFIX}
                                           --shutdown)
  set_tests_properties(wine_prefix_remove PROPERTIES FIXTURES_CLEANUP wine_prefix LABELS wine
                                                     TIMEOUT 120)
endif()

function(tarvik_add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TIMEOUT" "COMMAND")
  if(NOT TARVIK_WINE_TESTS)
    return()
  endif()
  # The tests wait for each result until a deadline of their own; CTest's limit only ends a run
  # that hangs, and leaves room for a busy machine.
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 900)
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
  set_tests_properties(
    ${arg_NAME}
    PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS wine TIMEOUT ${arg_TIMEOUT}
               # One display and one keyboard focus for all: a window of one test would
               # take the focus from another's.
               RESOURCE_LOCK tarvik_wine_display
               ENVIRONMENT "TARVIK_WINEPREFIX=${TARVIK_WINE_PREFIX};TARVIK_WINE_RUN=${TARVIK_WINE_RUN};TARVIK_WIN_BUILD_DIR=${TARVIK_WIN_BUILD_DIR}")
endfunction()

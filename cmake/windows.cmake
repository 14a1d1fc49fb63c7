# Windows build: the saver, its unit tests (run under Wine) and the end-to-end scenarios.
enable_language(RC)
# The resources take the version from a header written from the project version,
# and the copyright line from LICENSE, the one place each is kept.
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE QUORIX_COPYRIGHT REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
if(NOT QUORIX_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no line starting \"Copyright (c) \"")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
configure_file(${CMAKE_SOURCE_DIR}/src/res/version.h.in ${CMAKE_BINARY_DIR}/generated/res/version.h @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_BINARY_DIR}/generated")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Static runtime: the .scr needs no DLL beyond Windows' own.
add_link_options(-static -static-libgcc -static-libstdc++)
# The same sources give the same bytes: no link time in the PE header (the
# stamp stays 0), and no build folder in a file name the code might print.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)

file(GLOB QUORIX_ALL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*.cpp)
list(REMOVE_ITEM QUORIX_ALL_SOURCES ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
add_library(quorix_core STATIC ${QUORIX_ALL_SOURCES})
target_link_libraries(quorix_core PUBLIC gdi32 user32 kernel32 advapi32 imm32)

file(GLOB QUORIX_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/res/*.rc)
set_source_files_properties(${QUORIX_RESOURCES} PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/res/version.h)
add_executable(quorix WIN32 ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${QUORIX_RESOURCES})
target_link_libraries(quorix PRIVATE quorix_core)
set_target_properties(quorix PROPERTIES OUTPUT_NAME quorix SUFFIX .scr)

# One GoogleTest program per folder under tests/, run through Wine by CTest.
# The support code is compiled once for all of them and for the benchmarks, and
# they share one precompiled header of GoogleTest and windows.h, which most of
# their compile time went to.
file(GLOB QUORIX_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(quorix_test_support STATIC ${QUORIX_TEST_SUPPORT})
target_include_directories(quorix_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(quorix_test_support PUBLIC quorix_core)
set(QUORIX_PCH_TARGET "")
set(QUORIX_TEST_DIRS lib saver gfx framework runner monitors savewin trace app)
# Folders whose behaviour differs between a palette display and true colour run on both.
set(QUORIX_BOTH_DEPTHS saver gfx)
foreach(dir IN LISTS QUORIX_TEST_DIRS)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*_test.cpp)
  if(NOT sources)
    continue()
  endif()
  add_executable(test_${dir} ${sources})
  target_link_libraries(test_${dir} PRIVATE quorix_test_support gtest_main)
  if(QUORIX_PCH_TARGET)
    target_precompile_headers(test_${dir} REUSE_FROM ${QUORIX_PCH_TARGET})
  else()
    target_precompile_headers(test_${dir} PRIVATE <windows.h> <gtest/gtest.h>)
    set(QUORIX_PCH_TARGET test_${dir})
  endif()
  add_test(NAME ${dir} COMMAND test_${dir})
  set_tests_properties(${dir} PROPERTIES ENVIRONMENT "QUORIX_DEPTH=24" LABELS unit RESOURCE_LOCK xvfb)
  if(dir IN_LIST QUORIX_BOTH_DEPTHS)
    add_test(NAME ${dir}_depth8 COMMAND test_${dir})
    set_tests_properties(${dir}_depth8 PROPERTIES ENVIRONMENT "QUORIX_DEPTH=8" LABELS unit RESOURCE_LOCK xvfb)
  endif()
endforeach()

# Small Win32 programs that the end-to-end harness drives.
file(GLOB QUORIX_E2E_PROGRAMS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/programs/*.cpp)
foreach(program IN LISTS QUORIX_E2E_PROGRAMS)
  get_filename_component(name ${program} NAME_WE)
  add_executable(${name} WIN32 ${program})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE quorix_core)
endforeach()

# Benchmarks are built here and run by scripts/bench.sh, never as tests.
file(GLOB QUORIX_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(bench IN LISTS QUORIX_BENCH_SOURCES)
  get_filename_component(name ${bench} NAME_WE)
  add_executable(${name} ${bench})
  target_link_libraries(${name} PRIVATE quorix_test_support)
endforeach()

# End-to-end scenarios drive the real quorix.scr. The 32-bit build runs them all;
# the 64-bit build has them all too, but those not marked as smoke tests (file
# names ending in _smoke_test.sh) carry the label beyond_smoke, which the test
# command leaves out wherever the 32-bit build runs them.
# A scenario that lacks its display (the two-monitor Xorg one) ends with 77: skipped.
# One scenario at a time drives a kind of display: the two-monitor scenarios
# (on Xorg) run beside the others, which take turns on two lanes of Xvfb
# displays (one of each depth per lane), each lane with its own prefixes,
# pointers and keyboards.
file(GLOB QUORIX_E2E_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
set(QUORIX_SECOND_LANE OFF)
foreach(scenario IN LISTS QUORIX_E2E_SCENARIOS)
  get_filename_component(name ${scenario} NAME_WE)
  string(REGEX REPLACE "_test$" "" name ${name})
  set(labels e2e)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND NOT name MATCHES "_smoke$")
    list(APPEND labels beyond_smoke)
  endif()
  set(display xvfb)
  set(environment "QUORIX_BUILD=${CMAKE_BINARY_DIR};QUORIX_SOURCE=${CMAKE_SOURCE_DIR}")
  if(name STREQUAL "monitors_mirror_palette")
    # Starts a two-monitor display of depth 8 of its own.
    set(display xorg8)
  elseif(name MATCHES "^monitors_")
    set(display xorg)
  else()
    # Every second one runs on the second lane of displays and prefixes.
    if(QUORIX_SECOND_LANE)
      set(display xvfb2)
      list(APPEND environment QUORIX_LANE=2)
      set(QUORIX_SECOND_LANE OFF)
    else()
      set(QUORIX_SECOND_LANE ON)
    endif()
  endif()
  add_test(NAME e2e_${name} COMMAND bash ${scenario})
  set_tests_properties(e2e_${name} PROPERTIES
    ENVIRONMENT "${environment}"
    LABELS "${labels}" RESOURCE_LOCK ${display} TIMEOUT 300 SKIP_RETURN_CODE 77)
endforeach()
# The options matrix runs a saver for each of its rows: those on the palette
# display, which it starts itself, run beside those on the test command's.
set_property(TEST e2e_monitors_matrix APPEND PROPERTY ENVIRONMENT QUORIX_MATRIX_DEPTH=24)
add_test(NAME e2e_monitors_matrix_8 COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/monitors_matrix_test.sh)
get_property(QUORIX_MATRIX_LABELS TEST e2e_monitors_matrix PROPERTY LABELS)
set_tests_properties(e2e_monitors_matrix_8 PROPERTIES
  ENVIRONMENT "QUORIX_BUILD=${CMAKE_BINARY_DIR};QUORIX_SOURCE=${CMAKE_SOURCE_DIR};QUORIX_MATRIX_DEPTH=8"
  LABELS "${QUORIX_MATRIX_LABELS}" RESOURCE_LOCK xorg8 TIMEOUT 600 SKIP_RETURN_CODE 77)
set_tests_properties(e2e_monitors_matrix PROPERTIES TIMEOUT 600)
# The install scenario installs, upgrades and removes again and again in each
# prefix, with Wine restarts between: in two prefixes it may well pass 300 s.
if(TEST e2e_install)
  set_tests_properties(e2e_install PROPERTIES TIMEOUT 600)
endif()

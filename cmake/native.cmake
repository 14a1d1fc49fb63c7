# Native build of the Win32-free code and its tests.
if(QUORIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(quorix_portable STATIC ${QUORIX_PORTABLE_SOURCES})
if(QUORIX_PORTABLE_TESTS)
  add_executable(test_portable ${QUORIX_PORTABLE_TESTS})
  target_include_directories(test_portable PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_portable PRIVATE quorix_portable gtest_main)
  add_test(NAME native_portable COMMAND test_portable)
  # The 32-bit build has no SSE2: its plain path is checked here too.
  add_executable(test_recolour_plain ${CMAKE_SOURCE_DIR}/src/gfx/recolour_math.cpp
                                     ${CMAKE_SOURCE_DIR}/tests/gfx/recolour_math_test.cpp)
  target_compile_definitions(test_recolour_plain PRIVATE QUORIX_NO_SSE2)
  target_include_directories(test_recolour_plain PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_recolour_plain PRIVATE gtest_main)
  add_test(NAME native_recolour_plain COMMAND test_recolour_plain)
endif()

# libFuzzer targets, one per tests/fuzz/NAME_fuzz.cpp, as fuzz_NAME (clang only;
# scripts/fuzz.sh builds and runs them through the preset "fuzz").
option(QUORIX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(QUORIX_FUZZ)
  target_compile_options(quorix_portable PRIVATE -fsanitize=fuzzer-no-link)
  file(GLOB QUORIX_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  add_custom_target(fuzz_targets)
  foreach(source ${QUORIX_FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" name ${name})
    add_executable(fuzz_${name} ${source})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(fuzz_${name} PRIVATE quorix_portable)
    add_dependencies(fuzz_targets fuzz_${name})
  endforeach()
endif()

# Build helpers shared by every folder: warnings, test, fuzz and benchmark targets.

function(vandu_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

set(VANDU_LSAN_SUPPRESSIONS "${CMAKE_SOURCE_DIR}/tests/lsan.supp")
# The one environment entry every test gets (gtest_discover_tests cannot pass a list): programs
# a test starts (the agent, the service) inherit the leak suppressions. The test programs' own
# sanitizer defaults are compiled in (tests/support/SanitizerDefaults.cpp).
set(VANDU_TEST_ENV "LSAN_OPTIONS=suppressions=${VANDU_LSAN_SUPPRESSIONS}:print_suppressions=0")
add_library(vandu_sanitizer_defaults OBJECT "${CMAKE_SOURCE_DIR}/tests/support/SanitizerDefaults.cpp")
target_compile_definitions(vandu_sanitizer_defaults PRIVATE VANDU_LSAN_SUPPRESSIONS="${VANDU_LSAN_SUPPRESSIONS}")
set(VANDU_SANITIZER_DEFAULTS $<TARGET_OBJECTS:vandu_sanitizer_defaults>)

# Tests of the Qt-free core: GoogleTest only, no display, label "core".
function(vandu_core_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${VANDU_SANITIZER_DEFAULTS})
  target_link_libraries(${name} PRIVATE vandu_core vandu_testsupport GTest::gtest_main GTest::gmock ${ARG_LIBS})
  vandu_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS core TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${VANDU_TEST_ENV}")
endfunction()

# Tests of the Qt layer: real widgets on the offscreen platform, label "qt".
function(vandu_qt_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LABEL" "SOURCES;LIBS" ${ARGN})
  if(VANDU_CORE_ONLY)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES} ${VANDU_SANITIZER_DEFAULTS})
  target_link_libraries(${name} PRIVATE vandu_qt vandu_testsupport Qt6::Test GTest::gtest GTest::gmock ${ARG_LIBS})
  if(NOT TARGET vandu_qt_gtest_main)
    message(FATAL_ERROR "vandu_qt_gtest_main missing")
  endif()
  target_link_libraries(${name} PRIVATE vandu_qt_gtest_main)
  vandu_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  if(NOT ARG_LABEL)
    set(ARG_LABEL qt)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${VANDU_TEST_ENV}")
endfunction()

# A fuzz target: with VANDU_FUZZ a libFuzzer program; otherwise a plain program that replays the
# committed corpus as a test, so every build checks that no known input crashes.
function(vandu_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(VANDU_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzzers")
  else()
    add_executable(${name} ${ARG_SOURCES} "${CMAKE_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp" ${VANDU_SANITIZER_DEFAULTS})
    add_test(NAME ${name}.replay COMMAND ${name} "${ARG_CORPUS}")
    set_tests_properties(${name}.replay PROPERTIES LABELS "core;fuzz" TIMEOUT 120 ENVIRONMENT "${VANDU_TEST_ENV}")
  endif()
  target_link_libraries(${name} PRIVATE vandu_core ${ARG_LIBS})
  vandu_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY VANDU_FUZZERS "${name}|${ARG_CORPUS}")
endfunction()

# A Google Benchmark program; never run by CTest (timings belong in benchmarks, not tests).
function(vandu_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VANDU_BENCHMARKS OR NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE vandu_core vandu_testsupport benchmark::benchmark ${ARG_LIBS})
  vandu_warnings(${name})
endfunction()

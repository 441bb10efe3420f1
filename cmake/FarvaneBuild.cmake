# Project-wide build settings and helpers.

if(FARVANE_WERROR)
  set(FARVANE_WARNINGS -Wall -Wextra -Werror)
else()
  set(FARVANE_WARNINGS -Wall -Wextra)
endif()
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:${FARVANE_WARNINGS}>")

if(FARVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(FARVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(FARVANE_SANITIZE)
  message(FATAL_ERROR "FARVANE_SANITIZE must be thread, address or empty")
endif()

find_package(Threads REQUIRED)

# Every test has a time limit, so that a hang fails that test by name instead of stalling the
# run: FARVANE_TEST_TIMEOUT seconds unless a test program asks for more (or less) with TIMEOUT.
# Sanitizers slow programs down several times; their builds scale every limit.
set(FARVANE_TEST_TIMEOUT 120 CACHE STRING "Default time limit of one test, in seconds")
if(FARVANE_SANITIZE)
  set(FARVANE_TEST_TIMEOUT_SCALE 4)
else()
  set(FARVANE_TEST_TIMEOUT_SCALE 1)
endif()

# farvane_add_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT seconds])
# One GoogleTest program; each of its tests becomes a ctest entry, discovered when ctest runs
# so that building never executes test code. Programs labelled "concurrency" also run under
# ThreadSanitizer in CI (the concurrency_tests target builds them).
function(farvane_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                          Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT ${FARVANE_TEST_TIMEOUT})
  endif()
  if(NOT T_TIMEOUT MATCHES "^[1-9][0-9]*$")
    message(FATAL_ERROR "${T_NAME}: TIMEOUT must be a whole number of seconds, not '${T_TIMEOUT}'")
  endif()
  math(EXPR T_TIMEOUT "${T_TIMEOUT} * ${FARVANE_TEST_TIMEOUT_SCALE}")
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${properties})
  if("concurrency" IN_LIST T_LABELS)
    add_dependencies(concurrency_tests ${T_NAME})
  endif()
  get_directory_property(checked FARVANE_TIMEOUTS_CHECKED)
  if(NOT checked)
    set_directory_properties(PROPERTIES FARVANE_TIMEOUTS_CHECKED ON)
    cmake_language(DEFER CALL farvane_check_test_timeouts)
  endif()
endfunction()

# Fails the configuration when a test of the current folder has no time limit: run at the end
# of every folder that adds test programs, so that a test added there with plain add_test()
# cannot slip through. (The tests of farvane_add_test, discovered when ctest runs, carry theirs.)
function(farvane_check_test_timeouts)
  get_directory_property(tests TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} TIMEOUT limit)
    if(NOT limit)
      message(FATAL_ERROR "test ${test} in ${CMAKE_CURRENT_SOURCE_DIR} has no TIMEOUT property")
    endif()
  endforeach()
endfunction()

# farvane_add_bench(NAME name SOURCES ... [LIBS ...])
function(farvane_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
endfunction()

# Adds every listed subfolder of the current folder that has a CMakeLists.txt.
function(farvane_add_existing_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

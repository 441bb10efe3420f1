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
    set(T_TIMEOUT 120)
  endif()
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${properties})
  if("concurrency" IN_LIST T_LABELS)
    add_dependencies(concurrency_tests ${T_NAME})
  endif()
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

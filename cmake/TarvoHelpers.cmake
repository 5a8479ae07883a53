include(GoogleTest)

# A program of ours: placed at the top of the build folder.
function(tarvo_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVO_PROGRAM_DIR})
endfunction()

# Every test case is one ctest entry with labels, so that `ctest -L unit` runs the fast ones and
# `ctest -LE slow` leaves out the ones that take seconds:
#   unit  in the process, against fakes and the simulated line (the default)
#   pty   against a pseudo-terminal or another program (qtvsim, cprmgrcmd, a bridge)
#   slow  takes a second or more
# Tests always run offscreen.

# A GoogleTest executable, linked only against what it tests; each TEST is one entry.
#   tarvo_gtest(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS pty slow])
function(tarvo_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  # One LABELS pair per label: a list would not survive the way to the discovered tests.
  set(label_properties "")
  foreach(label IN LISTS T_LABELS)
    list(APPEND label_properties LABELS ${label})
  endforeach()
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${label_properties})
endfunction()

# A Qt Test executable (one test class); each test function is one entry "name.function",
# listed from the built executable (-functions) when ctest starts, as gtest_discover_tests does.
#   tarvo_qttest(NAME name SOURCES a.cpp LIBS lib1 [LABELS pty slow] [TIMEOUT seconds])
function(tarvo_qttest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)

  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_include.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT
"set(_qttest_name [==[${T_NAME}]==])
set(_qttest_executable [==[$<TARGET_FILE:${T_NAME}>]==])
set(_qttest_directory [==[${CMAKE_CURRENT_BINARY_DIR}]==])
set(_qttest_labels [==[${T_LABELS}]==])
set(_qttest_timeout ${T_TIMEOUT})
set(_qttest_list [==[${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_functions.txt]==])
include([==[${PROJECT_SOURCE_DIR}/cmake/QtTestFunctions.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()

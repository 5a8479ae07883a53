include(GoogleTest)

# A program of ours: placed at the top of the build folder.
function(tarvo_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TARVO_PROGRAM_DIR})
endfunction()

# Every GoogleTest case and every Qt Test class is one ctest entry, with labels, so that
# `ctest -L unit` runs the fast ones and `ctest -LE slow` leaves out the ones that take seconds:
#   unit  in the process, against fakes and the simulated line (the default)
#   pty   against a pseudo-terminal or another program (qtvsim, cprmgrcmd, a bridge)
#   slow  takes a second or more
# Tests always run offscreen.

# A GoogleTest executable, linked only against what it tests; each TEST is one entry. SLOW_CASES
# names the cases (GoogleTest filter patterns) that take a second or more in an executable whose
# other cases do not: they get the label slow on top of the executable's labels.
#   tarvo_gtest(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS pty slow] [SLOW_CASES Suite.case])
function(tarvo_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;SLOW_CASES" ${ARGN})
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
  # Under Wine (the Windows build) one entry per executable: every entry is a start of Wine, and
  # listing the cases first is one more, which Wine's background services may keep waiting.
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT 300)
    return()
  endif()
  # Plain names (no "# GetParam() = ..." in them), so that ctest keeps each case's cost from run to
  # run and starts the long ones first.
  if(NOT T_SLOW_CASES)
    gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${label_properties})
    return()
  endif()
  list(JOIN T_SLOW_CASES ":" slow_filter)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
                       TEST_FILTER "-${slow_filter}"
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${label_properties})
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES
                       TEST_FILTER "${slow_filter}"
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${label_properties} LABELS slow)
endfunction()

# A Qt Test executable: one test class, one entry. A class whose cases take seconds is split into
# executables of its own (as the main window's faults on the simulated line and on a
# pseudo-terminal are), so that no entry holds up the rest. One entry per test function would
# start a Qt application for each of some 250 functions, at about 50 ms of CPU each on a
# 2-core machine, and double the time of the whole suite.
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
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${T_TIMEOUT}
                       LABELS "${T_LABELS}")
endfunction()

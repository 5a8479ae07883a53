# Runs inside ctest (a test include file written by tarvo_qttest): one test entry per test
# function of a Qt Test executable. The list of functions is asked of the executable once after
# each build and kept beside it.
#   _qttest_name _qttest_executable _qttest_directory _qttest_labels _qttest_timeout _qttest_list

if(NOT EXISTS "${_qttest_executable}")
  add_test("${_qttest_name}_NOT_BUILT" "${_qttest_name}_NOT_BUILT")
  return()
endif()

if(NOT EXISTS "${_qttest_list}" OR "${_qttest_executable}" IS_NEWER_THAN "${_qttest_list}")
  # Offscreen, as the tests run; a leak report at the exit of a listing is no failure of it.
  set(_qttest_saved_platform "$ENV{QT_QPA_PLATFORM}")
  set(_qttest_saved_asan "$ENV{ASAN_OPTIONS}")
  set(ENV{QT_QPA_PLATFORM} offscreen)
  set(ENV{ASAN_OPTIONS} "detect_leaks=0")
  execute_process(
    COMMAND "${_qttest_executable}" -functions
    WORKING_DIRECTORY "${_qttest_directory}"
    OUTPUT_VARIABLE _qttest_output
    RESULT_VARIABLE _qttest_result
    TIMEOUT 30)
  set(ENV{QT_QPA_PLATFORM} "${_qttest_saved_platform}")
  set(ENV{ASAN_OPTIONS} "${_qttest_saved_asan}")
  if(NOT _qttest_result EQUAL 0)
    # A failing entry rather than a test program that silently has no cases.
    message(WARNING "${_qttest_executable} -functions: ${_qttest_result}")
    add_test("${_qttest_name}_NOT_LISTED" "${_qttest_name}_NOT_LISTED")
    return()
  endif()
  file(WRITE "${_qttest_list}" "${_qttest_output}")
endif()

file(STRINGS "${_qttest_list}" _qttest_functions REGEX "^[A-Za-z_][A-Za-z0-9_]*\\(\\)$")
foreach(_qttest_function IN LISTS _qttest_functions)
  string(REGEX REPLACE "\\(\\)$" "" _qttest_function "${_qttest_function}")
  set(_qttest_entry "${_qttest_name}.${_qttest_function}")
  add_test("${_qttest_entry}" "${_qttest_executable}" "${_qttest_function}")
  set_tests_properties("${_qttest_entry}" PROPERTIES
                       WORKING_DIRECTORY "${_qttest_directory}"
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                       LABELS "${_qttest_labels}"
                       TIMEOUT "${_qttest_timeout}")
endforeach()
if(NOT _qttest_functions)
  add_test("${_qttest_name}_NO_FUNCTIONS" "${_qttest_name}_NO_FUNCTIONS")
endif()

# Runs one golden case; see tests/CMakeLists.txt.
#   -DZUL=path of zul  -DCASE=NAME.zu or NAME.args  -DACTUAL_DIR=scratch folder
#   [-DEXTRA_SWITCH=a switch put before the case's own; such a run compares
#   with the same expected files and never rewrites them]
# Standard input comes from NAME.stdin when that file exists (the consoles
# read their commands from it), else from nothing.
# With the environment variable ZU_REGEN=1 a mismatch rewrites the expected
# files instead of failing, for a person to review in the diff.
cmake_policy(VERSION 3.25)  # @VAR@ in strings stays text
get_filename_component(dir ${CASE} DIRECTORY)
get_filename_component(base ${CASE} NAME_WLE)
get_filename_component(ext ${CASE} LAST_EXT)

# A program runs as "zul -b [switches] NAME.zu", with the switches one a
# line in NAME.switches when that file exists; @EXTENSIONS_DIR@ there names
# the folder of the test extension libraries.
if(ext STREQUAL ".args")
  file(STRINGS ${CASE} args)
else()
  set(switches "")
  if(EXISTS ${dir}/${base}.switches)
    file(STRINGS ${dir}/${base}.switches switches)
    string(REPLACE "@EXTENSIONS_DIR@" "${EXTENSIONS_DIR}" switches "${switches}")
  endif()
  if(ext STREQUAL ".gss")
    list(PREPEND switches -g)
  endif()
  set(args -b ${EXTRA_SWITCH} ${switches} ${base}${ext})
endif()

set(expected_out ${dir}/${base}.out)
set(expected_exit 0)
if(EXISTS ${dir}/${base}.exit)
  file(STRINGS ${dir}/${base}.exit expected_exit LIMIT_COUNT 1)
endif()

set(input_file /dev/null)
if(EXISTS ${dir}/${base}.stdin)
  set(input_file ${dir}/${base}.stdin)
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=ZU3PATH ${ZUL} ${args}
  WORKING_DIRECTORY ${dir}
  INPUT_FILE ${input_file}
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE actual_err
  RESULT_VARIABLE status
  TIMEOUT 120)

set(expected "")
if(EXISTS ${expected_out})
  file(READ ${expected_out} expected)
endif()

if(actual STREQUAL expected AND status STREQUAL expected_exit)
  return()
endif()

if("$ENV{ZU_REGEN}" STREQUAL "1" AND "${EXTRA_SWITCH}" STREQUAL "")
  file(WRITE ${expected_out} "${actual}")
  if(status STREQUAL "0")
    file(REMOVE ${dir}/${base}.exit)
  else()
    file(WRITE ${dir}/${base}.exit "${status}\n")
  endif()
  message(STATUS "regenerated ${expected_out}")
  return()
endif()

file(MAKE_DIRECTORY ${ACTUAL_DIR})
set(actual_file ${ACTUAL_DIR}/${base}${EXTRA_SWITCH}.actual)
file(WRITE ${actual_file} "${actual}")
if(NOT EXISTS ${expected_out})
  file(WRITE ${ACTUAL_DIR}/${base}.expected "")
  set(expected_out ${ACTUAL_DIR}/${base}.expected)
endif()
execute_process(COMMAND diff -u --label expected --label actual
                ${expected_out} ${actual_file})
if(NOT actual_err STREQUAL "")
  message("standard error:\n${actual_err}")
endif()
if(status STREQUAL expected_exit)
  message(FATAL_ERROR "standard output differs (exit status ${status} as expected)")
endif()
message(FATAL_ERROR "exit status ${status}, expected ${expected_exit}")

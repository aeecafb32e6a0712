# Runs one converter case; see CMakeLists.txt for the files of a case.
#   -DG2ZU=path of g2zu  -DCASE_DIR=folder of the cases  -DNAME=case name
#   -DWORK_ROOT=scratch root
# With the environment variable ZU_REGEN=1 a mismatch rewrites the expected
# files instead of failing, for a person to review in the diff.
cmake_policy(VERSION 3.25)
set(work ${WORK_ROOT}/${NAME})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
if(EXISTS ${CASE_DIR}/${NAME}.prg)
  file(COPY ${CASE_DIR}/${NAME}.prg DESTINATION ${work})
endif()
if(IS_DIRECTORY ${CASE_DIR}/${NAME}.files)
  file(COPY ${CASE_DIR}/${NAME}.files/ DESTINATION ${work})
endif()

if(EXISTS ${CASE_DIR}/${NAME}.args)
  file(STRINGS ${CASE_DIR}/${NAME}.args args)
else()
  set(args ${NAME}.prg ${NAME})
endif()
set(input_file /dev/null)
if(EXISTS ${CASE_DIR}/${NAME}.stdin)
  set(input_file ${CASE_DIR}/${NAME}.stdin)
endif()

execute_process(
  COMMAND ${G2ZU} ${args}
  WORKING_DIRECTORY ${work}
  INPUT_FILE ${input_file}
  OUTPUT_VARIABLE out_text
  ERROR_VARIABLE err_text
  RESULT_VARIABLE status
  TIMEOUT 60)

# The time and date of the run differ from run to run.
function(normalise text out)
  string(REGEX REPLACE
    "at [ 0-9][0-9]:[0-9][0-9]:[0-9][0-9] on [ 0-9][0-9]-[0-9][0-9]-[0-9][0-9][0-9][0-9]"
    "at HH:MM:SS on DD-MM-YYYY" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(WRITE ${work}/${NAME}.stdout.actual "${out_text}")
file(WRITE ${work}/${NAME}.stderr.actual "${err_text}")
set(results zu h log stdout stderr)
set(failed "")
foreach(ext ${results})
  if(ext STREQUAL "stdout" OR ext STREQUAL "stderr")
    set(actual_file ${work}/${NAME}.${ext}.actual)
  else()
    set(actual_file ${work}/${NAME}.${ext})
  endif()
  set(expected_file ${CASE_DIR}/${NAME}.${ext})
  set(actual "")
  if(EXISTS ${actual_file})
    file(READ ${actual_file} actual)
    normalise("${actual}" actual)
    file(WRITE ${actual_file}.normalised "${actual}")
  endif()
  if("$ENV{ZU_REGEN}" STREQUAL "1")
    if(EXISTS ${actual_file} AND NOT (ext STREQUAL "stdout" AND actual STREQUAL ""))
      file(WRITE ${expected_file} "${actual}")
    endif()
    continue()
  endif()
  if(NOT EXISTS ${expected_file})
    continue()
  endif()
  file(READ ${expected_file} expected)
  if(NOT actual STREQUAL expected)
    list(APPEND failed ${ext})
    execute_process(COMMAND diff -u --label expected/${NAME}.${ext} --label actual
                    ${expected_file} ${actual_file}.normalised)
  endif()
endforeach()

# NAME.expected/ holds results under other names than NAME (an output file
# named on the command line).
if(IS_DIRECTORY ${CASE_DIR}/${NAME}.expected)
  file(GLOB others RELATIVE ${CASE_DIR}/${NAME}.expected ${CASE_DIR}/${NAME}.expected/*)
  foreach(other ${others})
    set(actual "")
    if(EXISTS ${work}/${other})
      file(READ ${work}/${other} actual)
      normalise("${actual}" actual)
      file(WRITE ${work}/${other}.normalised "${actual}")
    endif()
    if("$ENV{ZU_REGEN}" STREQUAL "1")
      file(WRITE ${CASE_DIR}/${NAME}.expected/${other} "${actual}")
      continue()
    endif()
    file(READ ${CASE_DIR}/${NAME}.expected/${other} expected)
    if(NOT actual STREQUAL expected)
      list(APPEND failed ${other})
      execute_process(COMMAND diff -u --label expected/${other} --label actual
                      ${CASE_DIR}/${NAME}.expected/${other} ${work}/${other}.normalised)
    endif()
  endforeach()
endif()

set(expected_exit 0)
if(EXISTS ${CASE_DIR}/${NAME}.exit)
  file(STRINGS ${CASE_DIR}/${NAME}.exit expected_exit LIMIT_COUNT 1)
endif()
if("$ENV{ZU_REGEN}" STREQUAL "1")
  if(status STREQUAL "0")
    file(REMOVE ${CASE_DIR}/${NAME}.exit)
  else()
    file(WRITE ${CASE_DIR}/${NAME}.exit "${status}\n")
  endif()
  message(STATUS "regenerated ${NAME}")
  return()
endif()
if(NOT status STREQUAL expected_exit)
  list(APPEND failed "exit status ${status}, expected ${expected_exit}")
endif()
if(failed)
  message(FATAL_ERROR "g2zu case ${NAME} differs: ${failed}")
endif()

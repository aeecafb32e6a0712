# Runs one code-generation case: -DDUMP=host -DCASE=NAME.zu -DACTUAL_DIR=dir
# With ZU_REGEN=1 a mismatch rewrites NAME.dump for a person to review.
get_filename_component(dir ${CASE} DIRECTORY)
get_filename_component(base ${CASE} NAME_WLE)
set(switches "")
if(EXISTS ${dir}/${base}.switches)
  file(STRINGS ${dir}/${base}.switches switches)
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=ZU3PATH ${DUMP} ${switches} ${base}.zu
  WORKING_DIRECTORY ${dir}
  OUTPUT_VARIABLE actual
  RESULT_VARIABLE status
  TIMEOUT 60)
set(expected_file ${dir}/${base}.dump)
set(expected "")
if(EXISTS ${expected_file})
  file(READ ${expected_file} expected)
endif()
if(actual STREQUAL expected AND status STREQUAL "0")
  return()
endif()
if("$ENV{ZU_REGEN}" STREQUAL "1")
  file(WRITE ${expected_file} "${actual}")
  message(STATUS "regenerated ${expected_file}")
  return()
endif()
file(MAKE_DIRECTORY ${ACTUAL_DIR})
file(WRITE ${ACTUAL_DIR}/${base}.actual "${actual}")
if(NOT EXISTS ${expected_file})
  set(expected_file ${ACTUAL_DIR}/${base}.expected)
  file(WRITE ${expected_file} "")
endif()
execute_process(COMMAND diff -u --label expected --label actual
                ${expected_file} ${ACTUAL_DIR}/${base}.actual)
message(FATAL_ERROR "exit status ${status}")

# Converts one case and hands the result to the Zu compiler: the conversion
# must compile and link with `zul -b -r-` without a single message. When
# NAME.run.out exists the program is also run with `zul -b` and its standard
# output compared with it (NAME.run.exit: expected status when not 0).
#   -DG2ZU=path of g2zu  -DZUL=path of zul  -DCASE_DIR=folder of the cases
#   -DNAME=case name  -DWORK_ROOT=scratch root
# With the environment variable ZU_REGEN=1 a differing run output rewrites
# NAME.run.out instead of failing, for a person to review in the diff.
cmake_policy(VERSION 3.25)
set(work ${WORK_ROOT}/${NAME})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(COPY ${CASE_DIR}/${NAME}.prg DESTINATION ${work})
if(IS_DIRECTORY ${CASE_DIR}/${NAME}.files)
  file(COPY ${CASE_DIR}/${NAME}.files/ DESTINATION ${work})
endif()

# Procedure libraries placed beside the case are converted first: the
# conversion of a file that includes one includes its conversion.
file(GLOB libraries ${work}/*.src)
foreach(library ${libraries})
  get_filename_component(base ${library} NAME_WE)
  execute_process(COMMAND ${G2ZU} ${base}.src ${base} WORKING_DIRECTORY ${work}
                  INPUT_FILE /dev/null OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
endforeach()

execute_process(
  COMMAND ${G2ZU} ${NAME}.prg ${NAME}
  WORKING_DIRECTORY ${work}
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE out_text
  ERROR_VARIABLE err_text
  RESULT_VARIABLE status
  TIMEOUT 60)
# The converter's own messages are the business of the golden case NAME;
# here only its output matters.
if(NOT EXISTS ${work}/${NAME}.zu)
  message(FATAL_ERROR "g2zu wrote no ${NAME}.zu (status ${status}):\n${err_text}")
endif()

execute_process(
  COMMAND ${ZUL} -b -r- ${NAME}.zu
  WORKING_DIRECTORY ${work}
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE out_text
  ERROR_VARIABLE err_text
  RESULT_VARIABLE status
  TIMEOUT 60)
if(NOT status STREQUAL "0" OR NOT out_text STREQUAL "" OR NOT err_text STREQUAL "")
  message(FATAL_ERROR "the conversion of ${NAME}.prg does not compile (status ${status}):\n"
                      "${out_text}${err_text}")
endif()

if(NOT EXISTS ${CASE_DIR}/${NAME}.run.out)
  return()
endif()
execute_process(
  COMMAND ${ZUL} -b ${NAME}.zu
  WORKING_DIRECTORY ${work}
  INPUT_FILE /dev/null
  OUTPUT_FILE ${work}/${NAME}.run.actual
  ERROR_VARIABLE err_text
  RESULT_VARIABLE status
  TIMEOUT 120)
file(READ ${work}/${NAME}.run.actual actual)
if("$ENV{ZU_REGEN}" STREQUAL "1")
  file(WRITE ${CASE_DIR}/${NAME}.run.out "${actual}")
  message(STATUS "regenerated ${NAME}.run.out")
  return()
endif()
set(expected_exit 0)
if(EXISTS ${CASE_DIR}/${NAME}.run.exit)
  file(STRINGS ${CASE_DIR}/${NAME}.run.exit expected_exit LIMIT_COUNT 1)
endif()
file(READ ${CASE_DIR}/${NAME}.run.out expected)
set(failed "")
if(NOT actual STREQUAL expected)
  list(APPEND failed "standard output")
  execute_process(COMMAND diff -u --label expected/${NAME}.run.out --label actual
                  ${CASE_DIR}/${NAME}.run.out ${work}/${NAME}.run.actual)
endif()
if(NOT status STREQUAL expected_exit)
  list(APPEND failed "exit status ${status}, expected ${expected_exit}")
endif()
if(failed)
  message(FATAL_ERROR "the run of ${NAME}.zu differs: ${failed}\n${err_text}")
endif()

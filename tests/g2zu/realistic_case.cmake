# Converts, compiles and runs one program of the realistic corpus.
# Every procedure library (*.src) of the corpus folder is converted first,
# since a program that includes one includes its conversion; then NAME.prg.
# Each conversion must finish with status 0 (nothing left unsupported), the
# program must compile and link with `zul -b -r-` without a message, and its
# run must print NAME.run.out exactly.
#   -DG2ZU=path of g2zu  -DZUL=path of zul  -DCASE_DIR=corpus folder
#   -DNAME=program name  -DWORK_ROOT=scratch root
# With ZU_REGEN=1 a differing run output rewrites NAME.run.out, for review.
cmake_policy(VERSION 3.25)
set(work ${WORK_ROOT}/${NAME})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(GLOB libraries ${CASE_DIR}/*.src)
file(COPY ${CASE_DIR}/${NAME}.prg ${libraries} DESTINATION ${work})

function(convert input output)
  execute_process(
    COMMAND ${G2ZU} ${input} ${output}
    WORKING_DIRECTORY ${work}
    INPUT_FILE /dev/null
    OUTPUT_VARIABLE out_text
    ERROR_VARIABLE err_text
    RESULT_VARIABLE status
    TIMEOUT 60)
  if(NOT status STREQUAL "0")
    file(READ ${work}/${output}.log log_text)
    message(FATAL_ERROR "g2zu ${input} exits with ${status}:\n${err_text}\n${log_text}")
  endif()
endfunction()

foreach(library ${libraries})
  get_filename_component(base ${library} NAME_WE)
  get_filename_component(file ${library} NAME)
  convert(${file} ${base})
endforeach()
convert(${NAME}.prg ${NAME})

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
if(NOT EXISTS ${CASE_DIR}/${NAME}.run.out)
  message(FATAL_ERROR "${NAME}.run.out is missing; the run printed:\n${actual}")
endif()
file(READ ${CASE_DIR}/${NAME}.run.out expected)
if(NOT actual STREQUAL expected OR NOT status STREQUAL "0")
  execute_process(COMMAND diff -u --label expected/${NAME}.run.out --label actual
                  ${CASE_DIR}/${NAME}.run.out ${work}/${NAME}.run.actual)
  message(FATAL_ERROR "the run of ${NAME}.zu differs (status ${status}):\n${err_text}")
endif()

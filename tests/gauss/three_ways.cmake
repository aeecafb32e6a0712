# Runs a Gauss program with "zul -g" and a second version of it, and
# compares the numbers the two print (zu_compare_numbers):
#   -DZUL=zul -DG2ZU=g2zu -DCOMPARE=zu_compare_numbers -DGSS=NAME.gss
#   -DWAY=zu (NAME.zu written by hand) or g2zu (the conversion by g2zu)
#   -DWORK=scratch folder
# Everything runs in the scratch folder, where the programs' own files go.
cmake_policy(VERSION 3.25)
get_filename_component(dir ${GSS} DIRECTORY)
get_filename_component(base ${GSS} NAME_WLE)
set(work ${WORK}/${base}_${WAY})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(COPY ${GSS} DESTINATION ${work})

function(run_zul out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=ZU3PATH ${ZUL} ${ARGN}
    WORKING_DIRECTORY ${work} INPUT_FILE /dev/null
    OUTPUT_FILE ${work}/${out} ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 120)
  if(NOT status STREQUAL "0")
    file(READ ${work}/${out} text)
    message(FATAL_ERROR "zul ${ARGN} exited with ${status}:\n${text}${err}")
  endif()
endfunction()

run_zul(gauss.txt -b -g ${base}.gss)
if(WAY STREQUAL "zu")
  file(COPY ${dir}/${base}.zu DESTINATION ${work})
  run_zul(other.txt -b ${base}.zu)
else()
  execute_process(COMMAND ${G2ZU} ${base}.gss ${base}_conv.zu
    WORKING_DIRECTORY ${work} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "g2zu exited with ${status}:\n${out}${err}")
  endif()
  run_zul(other.txt -b ${base}_conv.zu)
endif()

execute_process(COMMAND ${COMPARE} ${work}/gauss.txt ${work}/other.txt
  ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "${base}: the ${WAY} version prints other numbers: ${err}")
endif()

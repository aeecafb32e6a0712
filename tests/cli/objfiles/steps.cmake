# Runs the command lines of one NAME.steps file in a fresh scratch folder,
# so that the object files they write stay out of the source tree.  Each
# line is one zul command line (arguments separated by blanks; @SRC@ is
# this folder); the output of all of them, each followed by its exit
# status, is compared with NAME.out.
#   -DZUL=path of zul  -DCASE=NAME.steps  -DSCRATCH=folder
cmake_policy(VERSION 3.25)
get_filename_component(src ${CASE} DIRECTORY)
get_filename_component(base ${CASE} NAME_WLE)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(STRINGS ${CASE} lines)
set(actual "")
foreach(line ${lines})
  string(REPLACE "@SRC@" "${src}" line "${line}")
  separate_arguments(args UNIX_COMMAND "${line}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=ZU3PATH ${ZUL} ${args}
    WORKING_DIRECTORY ${SCRATCH}
    OUTPUT_VARIABLE out RESULT_VARIABLE status TIMEOUT 120)
  string(REPLACE "${src}/" "" out "${out}")
  string(APPEND actual "${out}[exit ${status}]\n")
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
file(READ ${src}/${base}.out expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${SCRATCH}.actual "${actual}")
  execute_process(COMMAND diff -u ${src}/${base}.out ${SCRATCH}.actual)
  message(FATAL_ERROR "output differs")
endif()

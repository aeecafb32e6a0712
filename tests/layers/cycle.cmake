# Configures a scratch copy of the project in which lib/value also uses
# lib/run, a cycle (run uses value), and checks that the configure step
# fails with a message naming the folders of the cycle.
#   cmake -DSOURCE=<project> -DSCRATCH=<folder> -P cycle.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/source)
foreach(item CMakeLists.txt CMakePresets.json cmake include lib launcher g2zu bench)
  file(COPY ${SOURCE}/${item} DESTINATION ${SCRATCH}/source)
endforeach()

set(value_list ${SCRATCH}/source/lib/value/CMakeLists.txt)
file(READ ${value_list} text)
string(REPLACE "USES console)" "USES console run)" cyclic "${text}")
if(cyclic STREQUAL text)
  message(FATAL_ERROR "lib/value/CMakeLists.txt no longer has the USES line this test edits")
endif()
file(WRITE ${value_list} "${cyclic}")

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SCRATCH}/source -B ${SCRATCH}/build -DZU_BUILD_TESTS=OFF
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX REPLACE "[ \t\r\n]+" " " said "${out} ${err}")
if(status EQUAL 0)
  message(FATAL_ERROR "the configure step accepted a cycle between lib/value and lib/run")
endif()
if(NOT said MATCHES "in a cycle: (value -> [a-z -> ]*run -> value|run -> value -> run)")
  message(FATAL_ERROR "the configure step failed without naming the cycle:\n${said}")
endif()
file(REMOVE_RECURSE ${SCRATCH})
message(STATUS "a cycle fails the configure step: ${CMAKE_MATCH_0}")

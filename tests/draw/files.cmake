# Runs one drawing program NAME.zu in a fresh scratch folder and compares
# its standard output with NAME.out and every file in NAME.files/ with the
# file of that name the program wrote, byte for byte (and checks that the
# files named in NAME.exists are there).  Each PostScript
# file written (.eps, .ps, or no extension) must render in ghostscript
# without an error.  ShowDrawWindow starts the viewer "true".
# With ZU_REGEN=1 the expected files are rewritten for
# review instead.
#   -DZUL=path of zul  -DCASE=NAME.zu  -DSCRATCH=folder  [-DGS=ghostscript]
cmake_policy(VERSION 3.25)
get_filename_component(src ${CASE} DIRECTORY)
get_filename_component(base ${CASE} NAME_WLE)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(COPY ${CASE} DESTINATION ${SCRATCH})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=ZU3PATH ZU_VIEWER=true ${ZUL} -b ${base}.zu
  WORKING_DIRECTORY ${SCRATCH}
  OUTPUT_VARIABLE actual RESULT_VARIABLE status TIMEOUT 120)
set(failures "")
set(expected "")
if(EXISTS ${src}/${base}.out)
  file(READ ${src}/${base}.out expected)
endif()
if("$ENV{ZU_REGEN}" STREQUAL "1")
  file(WRITE ${src}/${base}.out "${actual}")
elseif(NOT actual STREQUAL expected OR NOT status STREQUAL "0")
  string(APPEND failures "standard output or exit status (${status}) differs:\n${actual}\n")
endif()

file(GLOB wanted RELATIVE ${src}/${base}.files ${src}/${base}.files/*)
foreach(name ${wanted})
  if(NOT EXISTS ${SCRATCH}/${name})
    string(APPEND failures "${name} was not written\n")
  elseif("$ENV{ZU_REGEN}" STREQUAL "1")
    file(COPY ${SCRATCH}/${name} DESTINATION ${src}/${base}.files)
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${src}/${base}.files/${name} ${SCRATCH}/${name}
                    RESULT_VARIABLE different)
    if(different)
      execute_process(COMMAND diff -u ${src}/${base}.files/${name} ${SCRATCH}/${name})
      string(APPEND failures "${name} differs\n")
    endif()
  endif()
endforeach()

# NAME.exists: files that must be written (one name a line), whatever
# their bytes.
if(EXISTS ${src}/${base}.exists)
  file(STRINGS ${src}/${base}.exists must_exist)
  foreach(name ${must_exist})
    if(NOT EXISTS ${SCRATCH}/${name})
      string(APPEND failures "${name} was not written\n")
    endif()
  endforeach()
endif()

if(GS)
  file(GLOB written RELATIVE ${SCRATCH} ${SCRATCH}/*)
  foreach(name ${written})
    string(TOLOWER "${name}" lower)
    get_filename_component(ext "${lower}" LAST_EXT)
    if(ext STREQUAL ".eps" OR ext STREQUAL ".ps" OR ext STREQUAL "")
      execute_process(COMMAND ${GS} -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage ${SCRATCH}/${name}
                      RESULT_VARIABLE gs_status OUTPUT_VARIABLE gs_out ERROR_VARIABLE gs_err)
      if(NOT gs_status EQUAL 0 OR NOT gs_err STREQUAL "")
        string(APPEND failures "ghostscript fails on ${name}: ${gs_out}${gs_err}\n")
      endif()
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
file(REMOVE_RECURSE ${SCRATCH})

# Runs examples/plots.zu into a scratch folder and checks that every
# picture it writes is there and valid: ghostscript renders the .eps and
# .pdf files without an error, the .png files are PNG images with the
# size of the sheet's shape, the .svg files are well-formed XML.
#   -DZUL=path of zul  -DPROGRAM=plots.zu  -DSCRATCH=folder  -DGS=ghostscript
#   [-DXMLLINT=xmllint]
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=ZU3PATH ${ZUL} -b ${PROGRAM} ${SCRATCH}
  WORKING_DIRECTORY ${SCRATCH}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 300)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "plots.zu failed (${status}):\n${out}${err}")
endif()
set(failures "")
foreach(graph series scatter histogram correlogram grid surface)
  foreach(ext eps svg pdf png)
    set(file ${SCRATCH}/${graph}.${ext})
    if(NOT EXISTS ${file})
      string(APPEND failures "${graph}.${ext} was not written\n")
      continue()
    endif()
    file(SIZE ${file} size)
    if(size LESS 200)
      string(APPEND failures "${graph}.${ext} is only ${size} bytes\n")
    endif()
    if(ext STREQUAL "eps" OR ext STREQUAL "pdf")
      execute_process(COMMAND ${GS} -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage ${file}
                      RESULT_VARIABLE gs_status OUTPUT_VARIABLE gs_out ERROR_VARIABLE gs_err)
      if(NOT gs_status EQUAL 0 OR NOT gs_err STREQUAL "")
        string(APPEND failures "ghostscript fails on ${graph}.${ext}: ${gs_out}${gs_err}\n")
      endif()
    elseif(ext STREQUAL "png")
      # The signature, then the IHDR chunk with width and height.
      file(READ ${file} head LIMIT 24 HEX)
      string(SUBSTRING "${head}" 0 16 signature)
      string(SUBSTRING "${head}" 32 16 dimensions)
      if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT dimensions STREQUAL "000004b000000320")
        string(APPEND failures "${graph}.png is not a 1200 by 800 PNG image (${head})\n")
      endif()
    elseif(ext STREQUAL "svg" AND XMLLINT)
      execute_process(COMMAND ${XMLLINT} --noout ${file} RESULT_VARIABLE xml_status ERROR_VARIABLE xml_err)
      if(NOT xml_status EQUAL 0)
        string(APPEND failures "${graph}.svg is not well-formed: ${xml_err}\n")
      endif()
    elseif(ext STREQUAL "svg")
      file(READ ${file} svg)
      if(NOT svg MATCHES "^<\\?xml" OR NOT svg MATCHES "</svg>[ \n]*$")
        string(APPEND failures "${graph}.svg does not look like SVG\n")
      endif()
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
file(REMOVE_RECURSE ${SCRATCH})

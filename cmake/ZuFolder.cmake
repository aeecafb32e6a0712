# zu_folder(NAME SOURCES ... [USES folder ...] [LIBS library ...])
#
# Each subsystem folder of lib/ is an object library of its own.  Its
# internal headers are included as "NAME/header.h" and are visible only to
# the folder itself and to the folders that name it in USES, so an include
# across the layering fails to build.  The visibility comes from a private
# include root per folder that holds one link, NAME -> lib/NAME.
# A folder without sources yet is an interface target with its headers only.
function(zu_folder name)
  cmake_parse_arguments(ZF "" "" "SOURCES;USES;LIBS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)

  if(NOT ZF_SOURCES)
    add_library(zu_${name} INTERFACE)
    target_include_directories(zu_${name} INTERFACE ${root})
    return()
  endif()

  add_library(zu_${name} OBJECT ${ZF_SOURCES})
  target_include_directories(zu_${name}
    PUBLIC ${root} ${PROJECT_SOURCE_DIR}/include)
  target_compile_options(zu_${name} PRIVATE -fvisibility=hidden
                         -fvisibility-inlines-hidden)
  target_link_libraries(zu_${name} PRIVATE zu_warnings)
  foreach(use ${ZF_USES})
    target_include_directories(zu_${name} PRIVATE
      ${CMAKE_BINARY_DIR}/include-roots/${use})
  endforeach()
  foreach(lib ${ZF_LIBS})
    target_link_libraries(zu_${name} PUBLIC ${lib})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY ZU_FOLDERS zu_${name})
endfunction()

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
  set_property(GLOBAL APPEND PROPERTY ZU_FOLDER_NAMES ${name})
  set_property(GLOBAL PROPERTY ZU_FOLDER_USES_${name} ${ZF_USES})
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

# zu_check_layers()
#
# The folders' USES lists must point one way: a folder never uses itself,
# directly or through others.  Called once every folder is declared; a
# cycle fails the configure step with the folders that form it.
function(zu_check_layers)
  get_property(folders GLOBAL PROPERTY ZU_FOLDER_NAMES)
  foreach(folder ${folders})
    get_property(uses GLOBAL PROPERTY ZU_FOLDER_USES_${folder})
    foreach(use ${uses})
      if(NOT use IN_LIST folders)
        message(FATAL_ERROR "lib/${folder} uses ${use}, which is no folder of lib/")
      endif()
    endforeach()
  endforeach()
  # Depth-first search from each folder; `path` is the chain of folders
  # being visited, `done` those whose uses are known to end.
  set(done)
  foreach(start ${folders})
    _zu_visit_folder(${start} "" done)
  endforeach()
endfunction()

function(_zu_visit_folder folder path done_var)
  set(done ${${done_var}})
  if(folder IN_LIST done)
    return()
  endif()
  if(folder IN_LIST path)
    list(FIND path ${folder} at)
    list(SUBLIST path ${at} -1 cycle)
    list(APPEND cycle ${folder})
    list(JOIN cycle " -> " text)
    message(FATAL_ERROR "The folders of lib/ use each other in a cycle: ${text}")
  endif()
  list(APPEND path ${folder})
  get_property(uses GLOBAL PROPERTY ZU_FOLDER_USES_${folder})
  foreach(use ${uses})
    _zu_visit_folder(${use} "${path}" done)
  endforeach()
  list(APPEND done ${folder})
  set(${done_var} ${done} PARENT_SCOPE)
endfunction()

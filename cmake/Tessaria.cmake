# Helpers shared by every folder: one static library per folder, warnings,
# and the main window's member groups that live in the subsystem folders.

function(tessaria_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# tessaria_library(<name> [QT] [DEPS libs...] [MAINWINDOW files...] [EXCLUDE files...])
# Takes every .cpp and .h of the calling folder (not of its subfolders).
# Files listed after MAINWINDOW define members of the main window; they are
# compiled into the application library instead of this one.
function(tessaria_library name)
  cmake_parse_arguments(ARG "QT" "" "DEPS;MAINWINDOW;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(f IN LISTS ARG_MAINWINDOW)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    set_property(GLOBAL APPEND PROPERTY TESSARIA_MAINWINDOW_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
  foreach(f IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${f})
  endforeach()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(NOT compiled)
    # A folder whose code is still to come: nothing to compile yet.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    if(ARG_DEPS)
      target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    # moc's run is remembered by a time stamp whose inputs are the headers of
    # the last run; a header added since would go unseen. When the list of
    # files changes, drop the stamp so that moc looks again.
    set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_sources.txt)
    string(REPLACE ";" "\n" listed "${sources}")
    set(previous "")
    if(EXISTS ${list_file})
      file(READ ${list_file} previous)
    endif()
    if(NOT previous STREQUAL listed)
      file(WRITE ${list_file} "${listed}")
      file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp)
    endif()
  endif()
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
  tessaria_warnings(${name})
endfunction()

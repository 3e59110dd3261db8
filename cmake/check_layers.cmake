# Checks that no file of one folder of the runtime includes a header of a
# folder above it (docs/architecture.md). Run as a script before a folder's
# library is built:
#   cmake -DROOT=<source dir> -DFOLDER=<folder> -DSTAMP=<file> -P check_layers.cmake
# FOLDER is a name of the list below; the script fails on the first folder
# it finds a wrong include in, naming each, and writes STAMP when all is
# well.
cmake_minimum_required(VERSION 3.20)

# The layers, bottom first: a folder may include its own headers and those
# of the folders before it.
set(layers platform world core audio render platform/headless sim script menus shell
    platform/sdl tools/pack testplay)
# The calls the main loop's states make upward, as "folder:header".
set(allowed sim:script/script_engine.h sim:menus/list_menu.h script:menus/list_menu.h)

list(FIND layers "${FOLDER}" own)
if(own LESS 0)
  message(FATAL_ERROR "check_layers: ${FOLDER} is not a layer")
endif()
if(FOLDER STREQUAL "tools/pack")
  set(dir "${ROOT}/tools/pack")
else()
  set(dir "${ROOT}/src/${FOLDER}")
endif()

# The layer of an included header: the folder it names; a bare name is a
# header of the file's own folder or of the authoring tool.
function(layer_of header out)
  if(header MATCHES "^platform/(headless|sdl|web)/")
    set(${out} "platform/${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(header MATCHES "^([a-z_]+)/")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(EXISTS "${dir}/${header}")
    set(${out} "${FOLDER}" PARENT_SCOPE)
  else()
    set(${out} "tools/pack" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB files "${dir}/*.h" "${dir}/*.cpp")
set(problems "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" header "${line}")
    layer_of("${header}" layer)
    list(FIND layers "${layer}" rank)
    if(rank LESS 0)
      string(APPEND problems "\n  ${file}: ${header} is in no layer")
    elseif(rank GREATER own AND NOT "${FOLDER}:${header}" IN_LIST allowed)
      string(APPEND problems "\n  ${file}: ${header} is in ${layer}, above ${FOLDER}")
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Includes that go up a layer (docs/architecture.md):${problems}")
endif()
file(WRITE "${STAMP}" "")

# Fails when a file includes a header from a floor above its own, or when
# the floors are not the folders of src/. The floors are the top-level
# folders of src/, lowest first, as the top CMakeLists.txt lists them
# (RUNEMARK_FLOORS): each floor is one folder directly under src/, no folder
# holds another floor, and a file may include headers of its own folder and
# of folders below it.
# Usage: cmake -DSRC=<src dir> "-DFLOORS=platform;ui;..." -P Layering.cmake
cmake_policy(SET CMP0057 NEW) # if(... IN_LIST ...)
set(floors ${FLOORS})
if(NOT floors)
    message(FATAL_ERROR "FLOORS names no folder")
endif()
set(failed "")

# Every floor a folder of its own directly under src/, and every folder
# there a floor.
foreach(floor ${floors})
    if(floor MATCHES "/" OR NOT IS_DIRECTORY ${SRC}/${floor})
        list(APPEND failed "floor ${floor}: not a folder directly under src/")
    endif()
endforeach()
file(GLOB entries RELATIVE ${SRC} ${SRC}/*)
foreach(entry ${entries})
    if(IS_DIRECTORY ${SRC}/${entry} AND NOT entry IN_LIST floors)
        list(APPEND failed "src/${entry}: a folder that is no floor")
    endif()
endforeach()

# The floor of a path relative to src/: the index of its first folder.
function(floor_of path out)
    string(FIND "${path}" "/" slash)
    set(found -1)
    if(slash GREATER 0)
        string(SUBSTRING "${path}" 0 ${slash} head)
        list(FIND floors "${head}" found)
    endif()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
foreach(file ${sources})
    floor_of("${file}" own)
    if(own EQUAL -1)
        continue() # main.cpp stands above every floor
    endif()
    file(STRINGS ${SRC}/${file} includes REGEX "^#include \"[^\"]+\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
        floor_of("${header}" theirs)
        if(theirs GREATER own)
            list(APPEND failed "${file}: ${header}")
        endif()
    endforeach()
endforeach()
if(failed)
    list(JOIN failed "\n" failed)
    message(FATAL_ERROR "Layering:\n${failed}")
endif()

# Fails when a file includes a header from a floor above its own. The floors
# are the folders of src/, lowest first, as the top CMakeLists.txt lists them
# (RUNEMARK_FLOORS); a file may include headers of its own folder and of
# folders below it.
# Usage: cmake -DSRC=<src dir> "-DFLOORS=platform;ui;..." -P Layering.cmake
set(floors ${FLOORS})
if(NOT floors)
    message(FATAL_ERROR "FLOORS names no folder")
endif()

# The floor of a path relative to src/: the longest folder that holds it.
function(floor_of path out)
    set(found -1)
    set(found_length 0)
    set(index 0)
    foreach(folder ${floors})
        string(LENGTH "${folder}/" length)
        string(SUBSTRING "${path}" 0 ${length} head)
        if(head STREQUAL "${folder}/" AND length GREATER found_length)
            set(found ${index})
            set(found_length ${length})
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
set(failed "")
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
    message(FATAL_ERROR "Includes from a floor above:\n${failed}")
endif()

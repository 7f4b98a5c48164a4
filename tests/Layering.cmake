# Fails when a file includes a header from a layer above its own: the shared
# values and settings file see no subsystem, the subsystems no start-up or
# wiring. The linker cannot catch an upward call that a program links anyway.
# Usage: cmake -DSRC=<src dir> -P Layering.cmake
set(shared_files app/Context.h app/Context.cpp app/SettingsFile.h app/SettingsFile.cpp)
set(above_shared "(catalogue|launch|menu)/|app/(StartUp|Wiring)")
file(GLOB_RECURSE subsystems_files RELATIVE ${SRC} ${SRC}/catalogue/* ${SRC}/launch/* ${SRC}/menu/*)
set(above_subsystems "app/(StartUp|Wiring)")
set(failed "")
foreach(layer shared subsystems)
    foreach(file ${${layer}_files})
        file(STRINGS ${SRC}/${file} upward REGEX "#include \"(${above_${layer}})")
        if(upward)
            list(APPEND failed "${file}: ${upward}")
        endif()
    endforeach()
endforeach()
if(failed)
    list(JOIN failed "\n" failed)
    message(FATAL_ERROR "Includes from a layer above:\n${failed}")
endif()

# Makes Debian's Qt 6 (built for Linux) serve a Windows compile, honestly
# enough for a syntax check. Qt's public headers are the same on every
# platform: they pick the platform from the compiler's macros (_WIN32 gives
# Q_OS_WIN). What is Linux's own is the configuration Qt was built with;
# include/ overrides the few bits of it that a Windows build of Qt sets
# otherwise. Every compile then only checks syntax (-fsyntax-only): there is
# no Windows Qt here to link against.
find_package(Qt6 6.2 REQUIRED COMPONENTS Core Gui Widgets)

# A Windows DLL is linked through its import library. Nothing is linked
# here, but CMake refuses to generate without one.
foreach(qt_module Core Gui Widgets)
    get_target_property(qt_location Qt6::${qt_module} LOCATION)
    set_property(TARGET Qt6::${qt_module} PROPERTY IMPORTED_IMPLIB ${qt_location})
endforeach()

# The overrides come before Qt's own headers (Qt Core's directories come
# first in every compile), and Windows' qplatformdefs.h replaces Linux's.
get_target_property(qt_core_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
set_property(TARGET Qt6::Core PROPERTY INTERFACE_INCLUDE_DIRECTORIES
    ${CMAKE_CURRENT_LIST_DIR}/include ${qt_core_includes})
get_target_property(qt_platform_includes Qt6::Platform INTERFACE_INCLUDE_DIRECTORIES)
list(TRANSFORM qt_platform_includes REPLACE "/mkspecs/linux-g\\+\\+$" "/mkspecs/win32-g++")
set_property(TARGET Qt6::Platform PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${qt_platform_includes})
# What a Windows Qt's Platform target gives every program (Qt's
# QtBuild.cmake and qt_internal_enable_unicode_defines, which Debian ships
# too), and Windows 10, Qt 6's floor, which qt_windows.h and MinGW also
# default to: set here so that the check depends on neither.
set_property(TARGET Qt6::Platform APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS
    WIN32 _ENABLE_EXTENDED_ALIGNED_STORAGE WIN64 _WIN64 UNICODE _UNICODE
    _WIN32_WINNT=0x0A00 WINVER=0x0A00)

# Each compile checks syntax only; an empty object keeps the build's own
# rules (moc, rcc, the generated headers, the order of the floors) as they
# are. A compile that fails leaves a note beside its object instead of
# failing the step, so that a broken floor does not keep the floors above
# it from being checked: scripts/windows-check.sh collects the notes.
set(CMAKE_CXX_COMPILE_OBJECT
    "<CMAKE_CXX_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -fsyntax-only -o <OBJECT> -c <SOURCE> || echo <SOURCE> > <OBJECT>.failed; : > <OBJECT>")

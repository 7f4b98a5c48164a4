# The Windows build as Debian 12 can configure it: MinGW-w64's GCC (the
# posix thread model, for std::thread) against Debian's own Qt 6. It serves
# scripts/windows-check.sh, which compiles nothing to objects: there is no
# Qt for Windows here to link against.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Headers and libraries come from the MinGW sysroot only: the host's
# /usr/include holds glibc's, which a Windows compile must never see (Qt's
# Vulkan lookup would otherwise add it). Qt's CMake packages and its host
# tools (moc, rcc) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
list(APPEND CMAKE_PREFIX_PATH /usr/lib/x86_64-linux-gnu/cmake)
set(QT_HOST_PATH /usr)

# Debian's Qt, made to describe a Windows target: read after project(runemark),
# and not by the compiler checks' own small projects.
set(CMAKE_PROJECT_runemark_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/QtForWindows.cmake)

# Cross-compiling for 64-bit Windows with Debian's mingw-w64, the POSIX threads variant, so
# std::thread and std::recursive_mutex work as on Linux. The libraries come from the
# machine's MinGW root and from what scripts/windows-deps builds (CMAKE_FIND_ROOT_PATH).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The libraries' CMake and pkg-config files name the real folder that build/windows-deps
# links to; it is a root too.
foreach(root IN LISTS CMAKE_FIND_ROOT_PATH)
    file(REAL_PATH "${root}" real)
    list(APPEND CMAKE_FIND_ROOT_PATH "${real}")
endforeach()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)

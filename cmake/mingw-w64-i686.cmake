# Cross-building for 32-bit Windows with MinGW-w64 on Debian (see the x86_64
# file); Wine runs the programs when its 32-bit part is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Cross-building for 64-bit Windows with MinGW-w64 on Debian. The posix
# thread-model compilers provide std::thread, std::mutex and
# std::condition_variable (the default win32 model lacks them). Cross-built
# test programs run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# The Windows build, cross-compiled with MinGW-w64 (see the toolchain files
# beside this one). The generators of the embedded data need libpng and run on
# the build machine, so they are built first for the host, as a project of
# their own; the demo and its player library are built for Windows.

# Everything is linked statically: the executable and the player library
# import nothing but Windows' own DLLs.
add_link_options(-static)
# windows.h without its min and max macros, which break std::min and std::max.
add_compile_definitions(NOMINMAX)

find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)

include(${CMAKE_CURRENT_LIST_DIR}/libxmp-source.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/host-tools.cmake)

include(CTest)

# Programs and DLLs side by side, so that Windows finds a program's DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The demo's subsystems; the platform-specific files are chosen inside each.
set(BRUMLAKOR_WINDOWS_DEMO ON CACHE BOOL "Build the demo itself (off: only the player and data)")
set(windows_dirs player assets)
if(BRUMLAKOR_WINDOWS_DEMO)
  list(APPEND windows_dirs runtime display music driver effects)
endif()
foreach(dir ${windows_dirs})
  add_subdirectory(${dir})
endforeach()

if(BUILD_TESTING)
  # GoogleTest from Debian's source copy, built with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
  foreach(dir windows windows-e2e)
    if(EXISTS ${PROJECT_SOURCE_DIR}/tests/${dir}/CMakeLists.txt)
      add_subdirectory(tests/${dir})
    endif()
  endforeach()
endif()

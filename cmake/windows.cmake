# The Windows build, cross-compiled with MinGW-w64 (see the toolchain files
# beside this one). The generators of the embedded data need libpng and run on
# the build machine, so they are built first for the host, as a project of
# their own; the demo and its player library are built for Windows.
include(ExternalProject)

# Everything is linked statically: the executable and the player library
# import nothing but Windows' own DLLs.
add_link_options(-static)
# windows.h without its min and max macros, which break std::min and std::max.
add_compile_definitions(NOMINMAX)

find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)

# libxmp: Debian's source package, fetched once into the build folder.
set(BRUMLAKOR_LIBXMP_SOURCE ${CMAKE_BINARY_DIR}/_deps/libxmp-src
    CACHE PATH "Unpacked libxmp source (fetched with apt-get source if absent)")
if(NOT EXISTS ${BRUMLAKOR_LIBXMP_SOURCE}/include/xmp.h)
  message(STATUS "Fetching libxmp's source package into ${BRUMLAKOR_LIBXMP_SOURCE}")
  execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/fetch-libxmp.sh ${BRUMLAKOR_LIBXMP_SOURCE}
            ${CMAKE_BINARY_DIR}/_deps/apt
    RESULT_VARIABLE fetched)
  if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "Could not fetch libxmp's source package")
  endif()
endif()
set(LIBXMP_SOURCE_DIR ${BRUMLAKOR_LIBXMP_SOURCE})
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/libxmp ${CMAKE_BINARY_DIR}/libxmp)

# The host half: image and module generators, and the Linux player with the
# renderer that the Windows player's output is compared with.
set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(MAKE_IMAGES_PROGRAM ${HOST_TOOLS_DIR}/tools/images/make_images)
set(MAKE_MODULE_PROGRAM ${HOST_TOOLS_DIR}/tools/module/make_module)
set(HOST_RENDER_PROGRAM ${HOST_TOOLS_DIR}/render_checksum)
ExternalProject_Add(host_tools
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/host-tools
  BINARY_DIR ${HOST_TOOLS_DIR}
  CMAKE_ARGS -DBRUMLAKOR_ROOT=${PROJECT_SOURCE_DIR} -DCMAKE_BUILD_TYPE=RelWithDebInfo
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${MAKE_IMAGES_PROGRAM} ${MAKE_MODULE_PROGRAM} ${HOST_RENDER_PROGRAM})

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

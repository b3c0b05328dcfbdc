# libxmp for the targets that have no packaged one (Windows, the web):
# Debian's source package, fetched once into the build folder, built as the
# static library xmp_static (cmake/libxmp).
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

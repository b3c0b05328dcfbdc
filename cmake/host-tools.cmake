# The build machine's half of a cross build (Windows, the web): the
# generators of the embedded images and module, and the Linux player with a
# renderer, whose output the target's player must reproduce sample for
# sample. Built first, as a project of their own (cmake/host-tools).
include(ExternalProject)
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

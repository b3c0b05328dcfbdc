# The web build, with Emscripten (emcmake; scripts/build-web.sh): one
# self-contained page, brumlakor-web.html. There is no SDL and no system GL
# there: the display stands on emscripten/html5.h and WebGL 1 through the
# fixed-function layer of webgl/ (target webgl, whose include directory gives
# GL/gl.h and GL/glu.h); the player is a side module that the page carries,
# writes into its in-memory file system and dlopens, as the desktop does.
# The player's side module imports only what it does not define: its own
# symbols are not preemptible (the Linux player hides them too), and it
# exports the BASSMOD_* functions by name.
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

include(${CMAKE_CURRENT_LIST_DIR}/libxmp-source.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/host-tools.cmake)
include(CTest)

# 64-bit integers cross between the page's JS and both wasm modules as BigInt.
add_link_options(-sWASM_BIGINT)

# The GL layer stands where the desktop's OpenGL and GLU libraries do.
set(BRUMLAKOR_WEBGL_DIR ${PROJECT_SOURCE_DIR}/webgl CACHE PATH "The fixed-function GL layer")
add_subdirectory(${BRUMLAKOR_WEBGL_DIR} ${CMAKE_BINARY_DIR}/webgl)
foreach(name GL GLU)
  add_library(OpenGL::${name} INTERFACE IMPORTED)
  target_link_libraries(OpenGL::${name} INTERFACE webgl)
endforeach()

foreach(dir player assets runtime display music driver effects)
  add_subdirectory(${dir})
endforeach()

if(BUILD_TESTING AND EXISTS ${PROJECT_SOURCE_DIR}/tests/web/CMakeLists.txt)
  add_subdirectory(tests/web)
endif()

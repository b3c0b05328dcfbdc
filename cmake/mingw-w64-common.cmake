# The part of the MinGW-w64 toolchain files that does not depend on the
# architecture; MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_ASM_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_OBJCOPY ${MINGW_TRIPLE}-objcopy)
set(CMAKE_OBJDUMP ${MINGW_TRIPLE}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run through Wine (a quiet wrapper), all in the build's own
# prefix, so that no test writes in the user's home; without Wine the build
# still works, only the tests cannot run.
set(BRUMLAKOR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
find_program(WINE_PROGRAM NAMES wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${BRUMLAKOR_WINE_PREFIX})
endif()

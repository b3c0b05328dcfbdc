cmake_minimum_required(VERSION 3.25)
# Renders MODULE with the Linux player (LINUX_RENDER) and with the Windows
# player under Wine (EMULATOR WINDOWS_RENDER), or another target's player
# under its EMULATOR (TARGET names it: the web's under node), and fails
# unless both print the same checksum line.
if(NOT TARGET)
  set(TARGET Windows)
endif()
foreach(side LINUX WINDOWS)
  if(side STREQUAL WINDOWS)
    set(command ${EMULATOR} ${WINDOWS_RENDER})
  else()
    set(command ${LINUX_RENDER})
  endif()
  execute_process(COMMAND ${command} ${MODULE} RESULT_VARIABLE status
                  OUTPUT_VARIABLE line OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0 OR line STREQUAL "")
    message(FATAL_ERROR "${side} render failed (${status}): ${command}")
  endif()
  set(${side}_LINE "${line}")
  message(STATUS "${side}: ${line}")
endforeach()
if(NOT LINUX_LINE STREQUAL WINDOWS_LINE)
  message(FATAL_ERROR "The ${TARGET} player renders differently from the Linux player")
endif()

# The player on the web: a side module (SIDE_MODULE=2, which exports only what
# it is told to: the BASSMOD_* functions that player_api.h declares). Its C
# and C++ runtime are the page's, which exports every symbol the module
# imports (driver/, from the list that side-module-imports.js reads out of it).
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/player_api.h api_lines REGEX "BASSMOD_[A-Za-z]+\\(")
set(player_exports "")
foreach(line ${api_lines})
  string(REGEX MATCH "BASSMOD_[A-Za-z]+" name "${line}")
  list(APPEND player_exports "_${name}")
endforeach()
list(JOIN player_exports "," player_exports)

add_executable(bassmod_player ${PLAYER_SOURCES})
target_include_directories(bassmod_player PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(bassmod_player PRIVATE ${PLAYER_DECODER})
set_target_properties(bassmod_player PROPERTIES SUFFIX ".wasm")
target_link_options(bassmod_player PRIVATE -sSIDE_MODULE=2 "-sEXPORTED_FUNCTIONS=${player_exports}")

# The same code as a static library, for the render checksum under node.
add_library(player_core STATIC ${PLAYER_SOURCES})
target_include_directories(player_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(player_core PUBLIC ${PLAYER_DECODER})

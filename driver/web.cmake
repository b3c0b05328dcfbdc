# The page: the demo as a main module (MAIN_MODULE=2, which exports only what
# it is told to: main, and every symbol that the player's side module
# imports, read out of the built module), with the JS inlined into one HTML
# file that works from file:// (SINGLE_FILE). The runtime ends with the run,
# so that exit() runs the atexit handlers and the page hears the status. The
# in-memory file system is open to the page's tools (Module.FS): a visitor,
# or a test, can see the player's file come and go.
set(PAGE_SHELL ${CMAKE_CURRENT_SOURCE_DIR}/page_web.html CACHE INTERNAL "")
set(AUDIO_HOST ${PROJECT_SOURCE_DIR}/player/audio_host_web.js CACHE INTERNAL "")
set(PAGE_EXPORTS ${CMAKE_CURRENT_BINARY_DIR}/page_exports.json CACHE INTERNAL "")
set(PAGE_JS_FUNCTIONS ${CMAKE_CURRENT_BINARY_DIR}/page_js_functions CACHE INTERNAL "")
add_custom_command(OUTPUT ${PAGE_EXPORTS} ${PAGE_JS_FUNCTIONS}.json ${PAGE_JS_FUNCTIONS}.js
  COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/side-module-imports.js
          $<TARGET_FILE:bassmod_player> ${PAGE_EXPORTS} ${PAGE_JS_FUNCTIONS} _main
  DEPENDS bassmod_player ${CMAKE_CURRENT_SOURCE_DIR}/side-module-imports.js
  COMMENT "Listing the imports of the player's side module")
add_custom_target(page_exports DEPENDS ${PAGE_EXPORTS} ${PAGE_JS_FUNCTIONS}.json
                                       ${PAGE_JS_FUNCTIONS}.js)

# A page: the demo with the entry point in source, named output.html.
function(add_page target source output)
  add_executable(${target} ${source})
  add_dependencies(${target} page_exports)
  target_link_libraries(${target} PRIVATE driver)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output} SUFFIX ".html"
    LINK_DEPENDS "${PAGE_SHELL};${PROJECT_SOURCE_DIR}/driver/pack-page.js;${PAGE_EXPORTS};${PAGE_JS_FUNCTIONS}.js;${AUDIO_HOST}")
  target_link_options(${target} PRIVATE -sMAIN_MODULE=2 "-sEXPORTED_FUNCTIONS=@${PAGE_EXPORTS}"
    "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${PAGE_JS_FUNCTIONS}.json"
    --post-js ${PAGE_JS_FUNCTIONS}.js
    -sSINGLE_FILE -sEXIT_RUNTIME=1 -sEXPORTED_RUNTIME_METHODS=FS -sALLOW_MEMORY_GROWTH=1
    -sENVIRONMENT=web --shell-file ${PAGE_SHELL} --js-library=${AUDIO_HOST}
    # Optimised builds would minify the HTML with htmlmin, which Debian's emcc
    # 3.1.6 fails to call; the script inside is minified already.
    -sMINIFY_HTML=0)
  # The wasm, gzipped, to the shell's loader (pack-page.js).
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND node ${PROJECT_SOURCE_DIR}/driver/pack-page.js $<TARGET_FILE:${target}>
    COMMENT "Packing the wasm of ${output}.html")
endfunction()
add_page(brumlakor main_web.cpp brumlakor-web)

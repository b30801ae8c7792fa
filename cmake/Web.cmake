# The browser build: the game as a web page (tolvane_web_page, for the libraries' folders).
# The tests are the desktop's own folders' (tests/CMakeLists.txt says which run in the
# browser; cmake/Testing.cmake how).

# tolvane_web_page(<target> <name>): links <target> as page/<name>.html in the build folder,
# with the page around the canvas and the faces in its preloaded data. main() runs on a
# thread of its own (a proxied main thread), so the modal loops block as on the desktop
# while the page's own thread stays free for the browser; the worker is a real thread too.
function(tolvane_web_page target name)
    set_target_properties(${target} PROPERTIES SUFFIX ".html" OUTPUT_NAME ${name}
                          RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/page)
    set(shell ${PROJECT_SOURCE_DIR}/platform/window/web/page.html)
    target_link_options(${target} PRIVATE ${TOLVANE_FONT_PRELOAD} "SHELL:--shell-file ${shell}"
                        -sPROXY_TO_PTHREAD=1 -sEXIT_RUNTIME=1 -sINITIAL_MEMORY=64MB
                        -sPTHREAD_POOL_SIZE=4 -sENVIRONMENT=web,worker
                        # Debian's Emscripten cannot call its HTML minifier; the page is small.
                        -sMINIFY_HTML=0)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shell})
endfunction()

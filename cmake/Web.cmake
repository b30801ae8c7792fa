# The browser build: the game as a web page (tolvane_web_page, for the libraries' folders),
# and the portable layers and the game's logic with their tests (cmake/WebTests.cmake, once
# the libraries are there). Test programs run under node with the machine's file system
# (NODERAWFS), so the reference images and the font folder are read where they lie, as on the
# desktop.

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

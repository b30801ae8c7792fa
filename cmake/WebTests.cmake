# The browser build's tests: the portable layers' and the game's logic's unit tests under
# node, and the pictures and the page against the desktop build's (tests/web).

function(tolvane_web_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    tolvane_add_test(${name} WHOLE SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS})
    # Memory is fixed: growth with threads slows every access from JavaScript. main() runs
    # on a thread of its own, as in the page: a thread starts only while node's own thread is
    # free to make its worker, and a test's threads may wait for each other to start. A few
    # workers are made ahead.
    target_link_options(${name} PRIVATE -sNODERAWFS=1 -sINITIAL_MEMORY=256MB
                        -sPTHREAD_POOL_SIZE=8 -sPROXY_TO_PTHREAD=1 -sEXIT_RUNTIME=1)
endfunction()

set(tests ${PROJECT_SOURCE_DIR}/tests)
file(GLOB graphics_sources CONFIGURE_DEPENDS ${tests}/platform/graphics/*.cpp)
tolvane_web_test(graphics_tests SOURCES ${graphics_sources} LIBS tolvane_graphics
                 PkgConfig::FREETYPE)
target_compile_definitions(graphics_tests
    PRIVATE TOLVANE_REFERENCE_DIR="${tests}/platform/graphics/references")
file(GLOB system_sources CONFIGURE_DEPENDS ${tests}/platform/system/*.cpp)
tolvane_web_test(system_tests SOURCES ${system_sources} LIBS tolvane_system)
file(GLOB gclass_sources CONFIGURE_DEPENDS ${tests}/GClass/*.cpp)
tolvane_web_test(gclass_tests SOURCES ${gclass_sources} LIBS tolvane_gclass)
file(GLOB gameclass_sources CONFIGURE_DEPENDS ${tests}/GameClass/*.cpp)
tolvane_web_test(gameclass_tests SOURCES ${gameclass_sources} LIBS tolvane_gameclass)
# The dialog's own tests (in window/) need the window.
file(GLOB app_sources CONFIGURE_DEPENDS ${tests}/app/*.cpp)
# The resource tests read the bitmaps with SDL too, as the window layer would.
tolvane_web_test(app_tests SOURCES ${app_sources} LIBS tolvane_logic PkgConfig::SDL2)

add_subdirectory(tests/web)

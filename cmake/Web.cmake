# The browser build: the game as a web page (tolvane_web_page, for the libraries' folders).
# The tests are the desktop's own folders' (tests/CMakeLists.txt says which run in the
# browser; cmake/Testing.cmake how).

set(TOLVANE_WEB_DIR ${PROJECT_SOURCE_DIR}/platform/window/web)

# The faces. No fontconfig in the browser: programs run by node (the unit tests) open the
# faces by file name in the folder they have on the build machine.
find_path(TOLVANE_FONT_DIR ipag.ttf PATHS /usr/share/fonts/opentype/ipafont-gothic
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# A page carries no faces and no FreeType: its text engine (platform/graphics/baked) draws
# from glyphs rasterised at build time, by the desktop's text engine on the build machine:
# each face at every size the game draws with it, with every character of the texts it draws
# in it (page_fonts.py lists them: every string literal of their sources, and the digits).
# The drawing library's texts are the game's own (GameClass/GameEvent.cpp, app/BirdEvent.cpp
# give their sizes); the dialogs, their captions and the system menu are in 9 points
# (app/res/TolvaneResources.cpp, platform/window/Controls.cpp).
find_program(TOLVANE_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
             REQUIRED)
# The page's code is deflated with zopfli, its script minified with terser (pack_page.py; terser
# comes from scripts/web-deps).
find_program(TOLVANE_ZOPFLI zopfli PATHS /usr/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(TOLVANE_TERSER terser PATHS ${PROJECT_SOURCE_DIR}/build/web-tools/node_modules/.bin
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(TOLVANE_HOST_FREETYPE ft2build.h PATHS /usr/include/freetype2 NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(GLOB game_texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/*.cpp
     ${PROJECT_SOURCE_DIR}/app/window/*.cpp ${PROJECT_SOURCE_DIR}/GameClass/*.cpp)
file(GLOB dialog_texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/res/*.cpp
     ${PROJECT_SOURCE_DIR}/app/window/*.cpp ${PROJECT_SOURCE_DIR}/platform/window/*.cpp)
set(page_texts "game=ＭＳ ゴシック=200,300,400" "dialog=ＭＳ Ｐゴシック=90")
set(graphics ${PROJECT_SOURCE_DIR}/platform/graphics)
set(engine ${graphics}/Font.cpp ${graphics}/FaceNames.cpp ${graphics}/FontEngine.h
           ${graphics}/GdiObjects.h)
set(baker ${PROJECT_BINARY_DIR}/host-bake-glyphs)
add_custom_command(
    OUTPUT ${baker}
    COMMAND c++ -std=c++20 -O1 -Wall -Wextra -Wpedantic -I${PROJECT_SOURCE_DIR} -I${TOLVANE_HOST_FREETYPE} -o ${baker}
            ${graphics}/baked/bake_glyphs.cpp ${graphics}/Font.cpp ${graphics}/FaceNames.cpp
            -lfreetype -lfontconfig
    DEPENDS ${graphics}/baked/bake_glyphs.cpp ${engine}
    COMMENT "Building the glyph baker for the build machine"
    VERBATIM)
set(glyphs ${PROJECT_BINARY_DIR}/BakedGlyphs.cpp)
set(list_characters)
set(bake_arguments)
foreach(entry ${page_texts})
    string(REGEX REPLACE "=.*" "" texts ${entry})
    string(REGEX REPLACE "^[a-z]+=" "" face ${entry})
    set(characters ${PROJECT_BINARY_DIR}/page-characters-${texts}.txt)
    list(APPEND list_characters COMMAND ${TOLVANE_PYTHON3} ${TOLVANE_WEB_DIR}/page_fonts.py
         --characters ${characters} --texts ${${texts}_texts})
    list(APPEND bake_arguments ${characters} ${face})
endforeach()
add_custom_command(
    OUTPUT ${glyphs}
    ${list_characters}
    COMMAND ${baker} ${glyphs} ${bake_arguments}
    DEPENDS ${baker} ${TOLVANE_WEB_DIR}/page_fonts.py ${game_texts} ${dialog_texts}
    COMMENT "Rasterising the page's glyphs"
    VERBATIM)
# A program linked with it draws its texts from the baked glyphs: its objects are linked in
# whole, so the drawing library's FreeType engine (Font.cpp) is never pulled in.
add_library(tolvane_baked_text OBJECT ${graphics}/baked/BakedText.cpp ${glyphs})
target_include_directories(tolvane_baked_text PUBLIC ${PROJECT_SOURCE_DIR})

# The licence texts a page ships with: the game's, the faces', and that of the runtime
# compiled into it.
set(TOLVANE_PAGE_LICENCES
    /usr/share/doc/fonts-ipafont-gothic/copyright=ipafont-gothic.copyright
    ${TOLVANE_WEB_DIR}/FONTS.txt=FONTS.txt
    /usr/share/doc/emscripten/copyright=emscripten.copyright ${PROJECT_SOURCE_DIR}/LICENSE=LICENSE)

# tolvane_web_page(<target> <folder> <name> [COMPLETE] [CHECKED]): links <target> as <folder>/<name>.html
# in the build folder, drawing its texts from the baked glyphs. COMPLETE makes it the game's page, one
# to put on a host: its icons, manifest, service worker and licence texts beside it. CHECKED
# links it with run-time checks (a test's page). main()
# runs on the page's own thread: its modal loops suspend while they wait, which gives the
# browser its thread back, and the worker is a fiber beside it.
function(tolvane_web_page target folder name)
    cmake_parse_arguments(ARG "COMPLETE;CHECKED" "" "" ${ARGN})
    set(page ${PROJECT_BINARY_DIR}/${folder})
    # Linked beside the page's folder, which holds only what a host serves.
    set(linked ${PROJECT_BINARY_DIR}/linked/${folder})
    set_target_properties(${target} PROPERTIES SUFFIX ".html" OUTPUT_NAME ${name}
                          RUNTIME_OUTPUT_DIRECTORY ${linked})
    set(shell ${TOLVANE_WEB_DIR}/page.html)
    target_link_libraries(${target} PRIVATE tolvane_baked_text)
    target_link_options(${target} PRIVATE "SHELL:--shell-file ${shell}"
                        -sEXIT_RUNTIME=1 -sINITIAL_MEMORY=64MB -sENVIRONMENT=web
                        # Debian's Emscripten cannot call its HTML minifier; the page is small.
                        -sMINIFY_HTML=0
                        # The game reads no files (its glyphs and bitmaps are in its code) and
                        # allocates little: no file system in its script, and the smaller
                        # allocator in its code.
                        -sFILESYSTEM=0 -sMALLOC=emmalloc
                        # The whole program's last optimisation leans to size (a first visit's
                        # bytes); -Oz would also stop inlining what the paint's loops call,
                        # which makes a paint several times slower.
                        -Os)
    # Code that never waits is left as it is in a page: Asyncify's bookkeeping would make it
    # larger and slower. Asyncify counts every call through a pointer as one that may wait, so
    # the list names such code that calls through one: drawing, formatting, allocation (its
    # new-handler), type matching and the game objects' state (its lock's virtual getter); a
    # function on the list no longer makes its callers count as waiting.
    set(remove ${PROJECT_SOURCE_DIR}/cmake/asyncify-remove.txt)
    target_link_options(${target} PRIVATE -sASYNCIFY_REMOVE=@${remove})
    if(ARG_CHECKED)
        # Emscripten's run-time checks, Asyncify's among them: a function the list leaves as it
        # is that is on the stack when a fiber switches stops the program.
        target_link_options(${target} PRIVATE -sASSERTIONS=1)
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shell} ${remove}
                 ${TOLVANE_MAIN_EXIT})
    # Lists reach the script with "|" between their items, as a command line splits at ";".
    set(finish -DLINKED=${linked} -DPAGE=${page} -DNAME=${name} -DPYTHON=${TOLVANE_PYTHON3}
        -DZOPFLI=${TOLVANE_ZOPFLI} -DTERSER=${TOLVANE_TERSER})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TOLVANE_WEB_DIR}/finish_page.cmake
                 ${TOLVANE_WEB_DIR}/pack_page.py)
    if(ARG_COMPLETE)
        add_dependencies(${target} tolvane_page_icons)
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TOLVANE_WEB_DIR}/sw.js
                     ${TOLVANE_WEB_DIR}/manifest.webmanifest ${TOLVANE_WEB_DIR}/FONTS.txt)
        list(JOIN TOLVANE_PAGE_ICON_FILES "|" icons)
        list(JOIN TOLVANE_PAGE_LICENCES "|" licences)
        list(APPEND finish -DCOMPLETE=ON -DWEB=${TOLVANE_WEB_DIR} "-DICONS=${icons}"
             "-DLICENCES=${licences}")
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} ${finish} -P ${TOLVANE_WEB_DIR}/finish_page.cmake
                       VERBATIM)
endfunction()

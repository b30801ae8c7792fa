# The browser build: the game as a web page (tolvane_web_page, for the libraries' folders).
# The tests are the desktop's own folders' (tests/CMakeLists.txt says which run in the
# browser; cmake/Testing.cmake how).

set(TOLVANE_WEB_DIR ${PROJECT_SOURCE_DIR}/platform/window/web)

# The faces. No fontconfig in the browser: the lookup opens them by file name in the folder
# they have on the build machine (programs run by node read them there). A page carries its
# own copies instead: the game's two faces cut down at build time to the characters its texts
# use (page_fonts.py), derived fonts with names of their own, or with
# TOLVANE_PAGE_FONTS=original the faces themselves.
find_path(TOLVANE_FONT_DIR ipag.ttf PATHS /usr/share/fonts/opentype/ipafont-gothic
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(TOLVANE_PAGE_FONTS subset CACHE STRING "The page's faces: subset (what the game draws) or original")
set_property(CACHE TOLVANE_PAGE_FONTS PROPERTY STRINGS subset original)
if(TOLVANE_PAGE_FONTS STREQUAL "original")
    set(TOLVANE_PAGE_FONT_FILES ${TOLVANE_FONT_DIR}/ipag.ttf ${TOLVANE_FONT_DIR}/ipagp.ttf)
else()
    include(cmake/FaceSubsets.cmake)
    tolvane_face_subsets(${PROJECT_BINARY_DIR}/fonts TOLVANE_PAGE_FONT_FILES)
endif()
add_custom_target(tolvane_page_fonts DEPENDS ${TOLVANE_PAGE_FONT_FILES})
# tolvane_preload_fonts(<target>): a program that runs under node carries the page's faces in
# its preloaded data, where the page has them.
function(tolvane_preload_fonts target)
    foreach(font ${TOLVANE_PAGE_FONT_FILES})
        cmake_path(GET font FILENAME name)
        target_link_options(${target} PRIVATE
                            "SHELL:--preload-file ${font}@${TOLVANE_FONT_DIR}/${name}")
    endforeach()
    add_dependencies(${target} tolvane_page_fonts)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TOLVANE_PAGE_FONT_FILES})
endfunction()
set(names)
foreach(font ${TOLVANE_PAGE_FONT_FILES})
    cmake_path(GET font FILENAME name)
    list(APPEND names "'${name}'")
endforeach()
# The page reads them from its fonts/ folder into the same place.
list(JOIN names ", " TOLVANE_PAGE_FONT_NAMES)
configure_file(${TOLVANE_WEB_DIR}/fonts.js ${PROJECT_BINARY_DIR}/page-fonts.js @ONLY)

# The licence texts a page ships with: the game's, the faces', and those of the libraries
# compiled into it.
set(TOLVANE_PAGE_LICENCES
    /usr/share/doc/fonts-ipafont-gothic/copyright=ipafont-gothic.copyright
    ${TOLVANE_WEB_DIR}/FONTS.txt=FONTS.txt
    /usr/share/doc/emscripten/copyright=emscripten.copyright)
file(GLOB sdl_licence ${PROJECT_SOURCE_DIR}/build/web-deps/src/libsdl2-*/LICENSE.txt)
file(GLOB freetype_licence ${PROJECT_SOURCE_DIR}/build/web-deps/src/freetype-*/docs/FTL.TXT)
list(APPEND TOLVANE_PAGE_LICENCES ${PROJECT_SOURCE_DIR}/LICENSE=LICENSE
     ${sdl_licence}=SDL2.LICENSE.txt ${freetype_licence}=FreeType.FTL.TXT)

# tolvane_web_page(<target> <folder> <name> [COMPLETE]): links <target> as <folder>/<name>.html
# in the build folder, with its faces in <folder>/fonts. COMPLETE makes it the game's page, one
# to put on a host: its icons, manifest, service worker and licence texts beside it. main()
# runs on the page's own thread: its modal loops suspend while they wait, which gives the
# browser its thread back, and the worker is a fiber beside it.
function(tolvane_web_page target folder name)
    cmake_parse_arguments(ARG "COMPLETE" "" "" ${ARGN})
    set(page ${PROJECT_BINARY_DIR}/${folder})
    set_target_properties(${target} PROPERTIES SUFFIX ".html" OUTPUT_NAME ${name}
                          RUNTIME_OUTPUT_DIRECTORY ${page})
    set(shell ${TOLVANE_WEB_DIR}/page.html)
    set(pre ${PROJECT_BINARY_DIR}/page-fonts.js)
    target_link_options(${target} PRIVATE "SHELL:--shell-file ${shell}" "SHELL:--pre-js ${pre}"
                        -sEXIT_RUNTIME=1 -sINITIAL_MEMORY=64MB -sENVIRONMENT=web
                        # Debian's Emscripten cannot call its HTML minifier; the page is small.
                        -sMINIFY_HTML=0
                        # The whole program's last optimisation leans to size (a first visit's
                        # bytes); -Oz would also stop inlining what the paint's loops call,
                        # which makes a paint several times slower.
                        -Os)
    # Code that never waits (drawing, the libraries) is left as it is in a page: Asyncify's
    # bookkeeping would make it larger and slower.
    # A page without a window (the paint benchmark) has no SDL video code to name.
    set(remove ${PROJECT_SOURCE_DIR}/cmake/asyncify-remove.txt)
    if(NOT ARG_COMPLETE)
        file(STRINGS ${remove} names REGEX "^(gfx|CSerrik|FT_|ft_|tt_|TT_|sfnt_|gray_|printf|fmt_|__stdio)")
        list(JOIN names "\n" names)
        file(WRITE ${PROJECT_BINARY_DIR}/asyncify-remove-nowindow.txt "${names}\n")
        set(remove ${PROJECT_BINARY_DIR}/asyncify-remove-nowindow.txt)
    endif()
    target_link_options(${target} PRIVATE -sASYNCIFY_REMOVE=@${remove})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${shell} ${pre} ${remove}
                 ${TOLVANE_MAIN_EXIT})
    add_dependencies(${target} tolvane_page_fonts)
    # Lists reach the script with "|" between their items, as a command line splits at ";".
    list(JOIN TOLVANE_PAGE_FONT_FILES "|" fonts)
    set(finish -DPAGE=${page} -DNAME=${name} "-DFONTS=${fonts}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TOLVANE_WEB_DIR}/finish_page.cmake)
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

# The Windows build: every program in the build folder's root, each carrying the game's two
# faces, cut down to its characters (platform/graphics; no fontconfig on Windows); and what
# the zip a Windows player downloads holds (cmake --install: scripts/windows --zip).

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
find_path(TOLVANE_FONT_DIR ipag.ttf PATHS /usr/share/fonts/opentype/ipafont-gothic
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# The zip's folder: tolvane.exe, the game's licence, and the licences of what the executable
# carries: the faces' (and how its copies were made), SDL2's, FreeType's, and the compiler's
# runtime and the MinGW-w64 runtime, linked in.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
set(deps ${PROJECT_SOURCE_DIR}/build/windows-deps/src)
file(GLOB sdl_licence ${deps}/libsdl2-*/LICENSE.txt)
file(GLOB freetype_licence ${deps}/freetype-*/docs/FTL.TXT)
foreach(pair
        /usr/share/doc/fonts-ipafont-gothic/copyright=ipafont-gothic.copyright
        ${PROJECT_SOURCE_DIR}/platform/window/windows/FONTS.txt=FONTS.txt
        ${sdl_licence}=SDL2.LICENSE.txt ${freetype_licence}=FreeType.FTL.TXT
        /usr/share/doc/gcc-mingw-w64-base/copyright=gcc-runtime.copyright
        /usr/share/doc/mingw-w64-common/copyright=mingw-w64.copyright)
    string(REPLACE "=" ";" pair ${pair})
    list(GET pair 0 from)
    list(GET pair 1 to)
    if(NOT EXISTS ${from})
        message(FATAL_ERROR "The licence text ${from} is missing (scripts/windows-deps)")
    endif()
    install(FILES ${from} DESTINATION licences RENAME ${to})
endforeach()

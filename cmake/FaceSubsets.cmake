# tolvane_face_subsets(<folder> <files-var>): the game's two faces cut down at build time to
# the characters its texts use (platform/window/web/page_fonts.py, Debian's fontTools), as
# derived fonts with names of their own: <folder>/tolvane-gothic.ttf and tolvane-pgothic.ttf.
# The Windows build compiles them in.
function(tolvane_face_subsets folder files_var)
    find_program(TOLVANE_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
                 REQUIRED)
    # Every text the game draws is a string literal in these.
    file(GLOB texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/*.cpp
         ${PROJECT_SOURCE_DIR}/app/window/*.cpp ${PROJECT_SOURCE_DIR}/app/res/*.cpp
         ${PROJECT_SOURCE_DIR}/GameClass/*.cpp ${PROJECT_SOURCE_DIR}/platform/window/*.cpp)
    set(files ${folder}/tolvane-gothic.ttf ${folder}/tolvane-pgothic.ttf)
    set(recipe ${PROJECT_SOURCE_DIR}/platform/window/web/page_fonts.py)
    add_custom_command(
        OUTPUT ${files}
        COMMAND ${TOLVANE_PYTHON3} ${recipe}
                --face ${TOLVANE_FONT_DIR}/ipag.ttf ${folder}/tolvane-gothic.ttf "Tolvane Gothic"
                --face ${TOLVANE_FONT_DIR}/ipagp.ttf ${folder}/tolvane-pgothic.ttf "Tolvane PGothic"
                --texts ${texts}
        DEPENDS ${recipe} ${texts}
        COMMENT "Cutting the game's faces down to its characters"
        VERBATIM)
    set(${files_var} ${files} PARENT_SCOPE)
endfunction()

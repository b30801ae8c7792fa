# cmake -P finish_page.cmake, after a page is linked: makes the page, one file, and puts its
# other files beside it.
#   LINKED    the folder the page was linked into (NAME.html, NAME.js, NAME.wasm)
#   PAGE      the page's folder, NAME its program's name (NAME.html is the page)
#   PYTHON    python3, which runs pack_page.py beside this script, with ZOPFLI, which deflates
#             the page's code, and TERSER, which minifies its script
# and for the game's own page, COMPLETE=ON with
#   WEB       platform/window/web (the manifest, the service worker, the glyphs' notice)
#   ICONS     the icon's PNG files, named <size>.png, copied into PAGE/icons
#   LICENCES  the licence texts, each "<file>=<name>", copied into PAGE/licences
# (lists with "|" between their items).
# The page learns whether it has a service worker. Then the folder holds exactly the page's
# files (older builds' leftovers are removed), and the service worker lists them all but itself
# and the licences, with a version made from their contents, so a new build is a new worker.
cmake_minimum_required(VERSION 3.25)
foreach(list ICONS LICENCES)
    string(REPLACE "|" ";" ${list} "${${list}}")
endforeach()

function(copy_into folder)
    file(MAKE_DIRECTORY ${PAGE}/${folder})
    foreach(file ${ARGN})
        cmake_path(GET file FILENAME name)
        file(COPY_FILE ${file} ${PAGE}/${folder}/${name} ONLY_IF_DIFFERENT)
    endforeach()
endfunction()

set(page_files ${NAME}.html)
file(MAKE_DIRECTORY ${PAGE})
# The game's own page has a service worker.
set(worker "")
if(COMPLETE)
    set(worker sw.js)
endif()
execute_process(COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/pack_page.py ${LINKED}/${NAME}.html
                        ${PAGE}/${NAME}.html ${ZOPFLI} ${TERSER} ${worker}
                COMMAND_ERROR_IS_FATAL ANY)
function(remove_all_but)
    file(GLOB_RECURSE present RELATIVE ${PAGE} ${PAGE}/*)
    foreach(file ${present})
        if(NOT file IN_LIST ARGN)
            file(REMOVE ${PAGE}/${file})
        endif()
    endforeach()
endfunction()
if(NOT COMPLETE)
    remove_all_but(${page_files})
    return()
endif()

copy_into(icons ${ICONS})
set(icons "")
foreach(icon ${ICONS})
    cmake_path(GET icon FILENAME name)
    cmake_path(GET icon STEM size)
    list(APPEND page_files icons/${name})
    string(APPEND icons "\n    { \"src\": \"icons/${name}\", \"sizes\": \"${size}x${size}\", \"type\": \"image/png\" },")
endforeach()
string(REGEX REPLACE ",$" "\n  " icons "${icons}")
set(TOLVANE_PAGE_ICONS "${icons}")
configure_file(${WEB}/manifest.webmanifest ${PAGE}/manifest.webmanifest @ONLY)
list(APPEND page_files manifest.webmanifest)

file(MAKE_DIRECTORY ${PAGE}/licences)
set(kept sw.js)
foreach(pair ${LICENCES})
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    if(NOT EXISTS ${from})
        continue()  # the game's own licence file, before it is written
    endif()
    file(COPY_FILE ${from} ${PAGE}/licences/${to} ONLY_IF_DIFFERENT)
    list(APPEND kept licences/${to})
endforeach()

# The version: a digest of every cached file's name and contents. The worker fetches the
# largest files first: a browser opens only a few connections to a host at once, and the
# program's code is most of a first visit's wait.
list(SORT page_files)
set(digests "")
set(bySize "")
foreach(file ${page_files})
    file(SHA256 ${PAGE}/${file} digest)
    string(APPEND digests "${file} ${digest}\n")
    file(SIZE ${PAGE}/${file} size)
    math(EXPR padded "1000000000000 + ${size}")  # the same number of digits for every size
    list(APPEND bySize "${padded} ${file}")
endforeach()
list(SORT bySize ORDER DESCENDING)
set(listed "")
foreach(entry ${bySize})
    string(REGEX REPLACE "^[0-9]+ " "" file "${entry}")
    string(APPEND listed "\n  '${file}',")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 TOLVANE_PAGE_VERSION)
string(REGEX REPLACE ",$" ",\n" TOLVANE_PAGE_FILES "${listed}")
configure_file(${WEB}/sw.js ${PAGE}/sw.js @ONLY)

remove_all_but(${kept} ${page_files})

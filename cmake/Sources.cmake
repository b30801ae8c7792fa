# tolvane_library(<name> [DEPS <targets...>] [PRIVATE_DEPS <targets...>] [EXCLUDE <files...>]
#                  [SOURCES <more files...>])
# A static library of every .cpp in the calling folder; headers are included from the
# project root ("GClass/SerrikDC.h"), so a path names its layer. DEPS are what the folder's
# headers need, so they reach whoever links the library; PRIVATE_DEPS stay inside it (SDL2 and
# FreeType never reach a layer above the one that wraps them). A folder with headers only
# gives an interface library.
function(tolvane_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;EXCLUDE;SOURCES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(APPEND sources ${ARG_SOURCES})
    list(REMOVE_ITEM sources ${ARG_EXCLUDE})
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads
                              PRIVATE ${ARG_PRIVATE_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPS} Threads::Threads)
    endif()
endfunction()

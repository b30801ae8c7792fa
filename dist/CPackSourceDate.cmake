# Read by cpack before it builds the package: the package's times are the source's commit time,
# so two builds of one commit give the same bytes. A SOURCE_DATE_EPOCH already set wins. A tree
# that is no git checkout (an unpacked source archive) has its files' times set to the commit's.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(source ${CPACK_TOLVANE_SOURCE_DIR})
    set(epoch "")
    if(EXISTS ${source}/.git)
        execute_process(COMMAND git -C ${source} log -1 --format=%ct
                        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(epoch STREQUAL "")
        file(TIMESTAMP ${source}/CMakeLists.txt epoch "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

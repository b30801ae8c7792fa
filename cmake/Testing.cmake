include(GoogleTest)

# tolvane_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable whose cases CTest lists one by one. In the browser build it runs
# under node as one CTest test that runs them all, as starting the program there costs more
# than most of its cases; in the Windows build likewise under Wine.
function(tolvane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main
                          Threads::Threads)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    if(EMSCRIPTEN)
        # main() runs on node's thread, as in the page on the browser's, its threads fibers
        # beside it. The machine's file system is the program's (NODERAWFS), so the reference
        # images and the font folder are read where they lie.
        target_link_options(${name} PRIVATE -sNODERAWFS=1 -sINITIAL_MEMORY=256MB
                            -sEXIT_RUNTIME=1)
        set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${TOLVANE_MAIN_EXIT})
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 600)
        return()
    endif()
    if(WIN32)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 600)
        return()
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 300
                         ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()

include(GoogleTest)

# tolvane_add_test(<name> [WHOLE] SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable whose cases CTest lists one by one; with WHOLE, one CTest test
# that runs them all (for the browser build, where starting the program costs more than most
# of its cases).
function(tolvane_add_test name)
    cmake_parse_arguments(ARG "WHOLE" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main
                          Threads::Threads)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    if(ARG_WHOLE)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 600)
        return()
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 300
                         ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
endfunction()

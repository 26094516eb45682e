# Helpers shared by every subsystem's CMakeLists.

set(REDIRA_WARNINGS -Wall -Wextra -Wshadow -Werror)

# Our own code: warnings as errors, sources found from the tree's top.
function(redira_target target)
    target_compile_options(${target} PRIVATE ${REDIRA_WARNINGS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A platform-free core library: compiled by both builds.
function(redira_core_library target)
    add_library(${target} STATIC ${ARGN})
    redira_target(${target})
endfunction()

# A GoogleTest program. Natively it runs directly; in the win32 build CTest
# runs it under Wine through the cross-compiling emulator. Every program is
# one CTest test, so that Wine starts once per program, not once per case.
function(redira_test target)
    cmake_parse_arguments(ARG "DISPLAY" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    redira_target(${target})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${target} COMMAND ${target})
    if(WIN32)
        # Apart from the deliverables in bin/, so that a test finds a
        # deliverable only where it puts or asks for it.
        set_target_properties(${target} PROPERTIES
            RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        if(ARG_DISPLAY)
            redira_wine_test_properties(${target} DISPLAY)
        else()
            redira_wine_test_properties(${target})
        endif()
    endif()
endfunction()

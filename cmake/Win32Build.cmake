# The win32 build: PE32 programs and libraries that need nothing beyond the
# system's own DLLs, and Windows-side tests that CTest runs under Wine.
enable_language(RC)

add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)

set(REDIRA_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${REDIRA_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${REDIRA_BIN_DIR})

# The 32-bit build makes the deliverables; the 64-bit one (win64 preset)
# only runs the Windows-side tests where 32-bit programs cannot run.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(REDIRA_WINDOWS_ARCH win64)
else()
    set(REDIRA_WINDOWS_ARCH win32)
endif()

# libjpeg-turbo, cross-built by scripts/setup.sh from the distribution's
# source package.
set(REDIRA_WIN32_JPEG ${PROJECT_SOURCE_DIR}/.deps/${REDIRA_WINDOWS_ARCH}/libjpeg-turbo
    CACHE PATH "libjpeg-turbo built for this build's Windows")
if(NOT EXISTS ${REDIRA_WIN32_JPEG}/lib/libjpeg.a)
    message(FATAL_ERROR "No libjpeg for Windows at ${REDIRA_WIN32_JPEG}: run scripts/setup.sh")
endif()
add_library(JPEG::JPEG STATIC IMPORTED)
set_target_properties(JPEG::JPEG PROPERTIES
    IMPORTED_LOCATION ${REDIRA_WIN32_JPEG}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${REDIRA_WIN32_JPEG}/include)

# Every Windows program that CTest runs goes through Wine, in a private
# prefix of the build's kind and on a private X display, both kept in the
# build tree.
set(REDIRA_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
file(WRITE ${REDIRA_WINE_STATE}/arch "${REDIRA_WINDOWS_ARCH}\n")
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine/run.sh ${REDIRA_WINE_STATE})

# The Windows form (Z:\...) of a path in the build or source tree.
function(redira_windows_path out path)
    string(REPLACE "/" "\\\\" windows "Z:${path}")
    set(${out} "${windows}" PARENT_SCOPE)
endfunction()

# Tests under Wine need the session (display and wineserver); those that
# use the screen, the mouse or the keyboard must not run side by side.
function(redira_wine_test_properties test)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine_session TIMEOUT 1800 LABELS wine)
    if(ARGN STREQUAL "DISPLAY")
        set_tests_properties(${test} PROPERTIES RESOURCE_LOCK wine_display)
    endif()
endfunction()

# A whole-program test on the session's display: a Python driver (see
# tools/wine/wine_testing.py) given the session and the other arguments.
function(redira_wine_driver test script)
    add_test(NAME ${test} COMMAND python3 ${script} --state ${REDIRA_WINE_STATE}
             --session ${PROJECT_SOURCE_DIR}/tools/wine/session.sh ${ARGN})
    redira_wine_test_properties(${test} DISPLAY)
endfunction()

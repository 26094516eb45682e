# The native build: cores and unit tests, under ASan and UBSan when asked.
option(REDIRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(REDIRA_SANITIZE)
    set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    add_compile_options(${sanitize})
    add_link_options(${sanitize})
endif()

# Fuzz targets need clang's libFuzzer.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(REDIRA_FUZZ ON)
else()
    set(REDIRA_FUZZ OFF)
endif()

find_package(JPEG REQUIRED)

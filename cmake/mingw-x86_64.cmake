# Cross-compiles the same sources for 64-bit Windows. The deliverables are
# the 32-bit build's; this one exists so that the Windows-side tests can run
# under Wine's 64-bit loader on kernels that run no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(mingw_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

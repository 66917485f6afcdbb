# Cross toolchain: 64-bit Windows (x86_64) with MinGW-w64, win32 thread model, for the tests on a
# machine whose kernel runs no 32-bit programs. The program ships as the i686 build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

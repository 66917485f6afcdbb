# Cross toolchain: 32-bit Windows (i686) with MinGW-w64, win32 thread model.
# The posix thread model links winpthreads into every program, and winpthreads imports
# functions that Windows XP lacks (GetTickCount64 among them), so the loader there refuses the
# program. The win32 thread model has no std::thread or std::mutex: threads and locks come from
# the framework (CWinThread, CEvent, CCriticalSection), and GoogleTest brings its own.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

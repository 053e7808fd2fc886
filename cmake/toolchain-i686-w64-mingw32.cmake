# 32-bit Windows build: the shipping executable. Compiled and linked here, not run.
# The win32 thread model: the posix one links winpthreads, whose imports (GetTickCount64,
# AddVectoredExceptionHandler, TryEnterCriticalSection, ...) Windows 98, ME, 2000 and XP lack,
# and the loader then refuses the whole executable. The setup uses Win32 threads itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

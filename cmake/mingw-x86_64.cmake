# Cross toolchain for the 64-bit test build: the same sources and Wine tests, run under 64-bit
# Wine on hosts whose kernel cannot execute 32-bit code. The shipped product stays 32-bit.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Wine's 64-bit loader, called directly: Debian's "wine" wrapper picks the 32-bit loader whenever
# it is installed, even where the kernel cannot run it.
set(VT9_WINE_LOADER /usr/lib/wine/wine64)
set(VT9_WINE_ARCH win64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VT9_WINE_LOADER})

# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix thread flavour, which has
# std::thread), and running what is built under wine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Programs come from the build machine; libraries, headers and packages only from MinGW's root.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Linked statically, so that the programs need only the DLLs that come with Windows (the posix
# flavour would otherwise need libwinpthread-1.dll beside them), and without the time of the
# link in their headers.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")

# Tests run the .exe files under wine, in a prefix of the build folder's own. WINEDEBUG=-all keeps
# wine's messages out of the output that the tests compare; LC_ALL=C.UTF-8 makes wine read the
# command line that it passes on as UTF-8, whatever the locale of the machine.
set(BRINDAQ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEPREFIX=${BRINDAQ_WINEPREFIX} WINEDEBUG=-all LC_ALL=C.UTF-8 /usr/bin/wine)

# Cross build for 64-bit Windows from Debian with MinGW-w64 (package
# g++-mingw-w64-x86-64-posix). The -posix compilers use the POSIX threads
# model, which std::thread needs. Programs built here run on Linux under Wine
# (package wine), which CTest uses to run the tests.
#
#   cmake -S . -B build/windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NOTORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NOTORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NOTORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NOTORA_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW-w64 tree only, never from the
# build machine's /usr/include; programs (the build tools) from the machine.
set(CMAKE_FIND_ROOT_PATH /usr/${NOTORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every test program runs under Wine, in a Wine prefix of the build folder
# (made by the first test, tests/CMakeLists.txt). Wine asks nothing while it
# makes one when it is not to install Mono and Gecko. It turns the arguments
# into UTF-16 by the locale, so that must be UTF-8.
find_program(NOTORA_WINE wine)
find_program(NOTORA_WINESERVER wineserver)
if(NOT NOTORA_WINE)
  set(NOTORA_WINE wine)
  set(NOTORA_WINESERVER wineserver)
endif()
set(NOTORA_WINE_ENVIRONMENT
    WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    LC_ALL=C.UTF-8)
set(CMAKE_CROSSCOMPILING_EMULATOR env ${NOTORA_WINE_ENVIRONMENT} ${NOTORA_WINE})

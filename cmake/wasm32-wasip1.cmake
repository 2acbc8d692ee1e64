# Build for WebAssembly (wasm32-wasip1) with Debian's clang-22 and its WASI
# libraries (packages clang-22 lld-22 wasi-libc libc++-22-dev-wasm32
# libc++abi-22-dev-wasm32 libclang-rt-22-dev-wasm32). The module runs in a
# browser's Web Worker or under node's WASI; scripts/build-web uses it.
#
#   cmake -S . -B build/web -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasip1.cmake
#
# Debian installs the WASI headers and libraries for "wasm32-wasi"; clang
# looks for the target "wasm32-wasip1". A sysroot of two links in the build
# folder gives it both under the name it asks for, and nothing of the build
# machine's /usr/include.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_VERSION 1)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

set(NOTORA_WASM_TRIPLE wasm32-wasip1)
set(NOTORA_WASM_SYSROOT ${CMAKE_BINARY_DIR}/wasi-sysroot)
file(MAKE_DIRECTORY ${NOTORA_WASM_SYSROOT}/include ${NOTORA_WASM_SYSROOT}/lib)
foreach(part include lib)
  if(NOT EXISTS ${NOTORA_WASM_SYSROOT}/${part}/${NOTORA_WASM_TRIPLE})
    file(CREATE_LINK /usr/${part}/wasm32-wasi ${NOTORA_WASM_SYSROOT}/${part}/${NOTORA_WASM_TRIPLE}
         SYMBOLIC)
  endif()
endforeach()

set(CMAKE_C_COMPILER clang-22)
set(CMAKE_CXX_COMPILER clang++-22)
set(CMAKE_AR llvm-ar-22)
set(CMAKE_RANLIB llvm-ranlib-22)
set(CMAKE_C_COMPILER_TARGET ${NOTORA_WASM_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${NOTORA_WASM_TRIPLE})
set(CMAKE_SYSROOT ${NOTORA_WASM_SYSROOT})
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
# The WASI C++ library has no exceptions (linking fails on __cxa_throw) and
# no threads.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")

set(CMAKE_FIND_ROOT_PATH ${NOTORA_WASM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# A module is tried by compiling, never by running it.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# Cross-compiles for 32-bit Windows (i686, PE32) with Debian's mingw-w64.
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
#
# This is the toolchain of the shipped programs. The build host cannot run
# 32-bit programs (neither natively nor under the 64-bit-only Wine it has), so
# no CMAKE_CROSSCOMPILING_EMULATOR is set here: tests are run from the x86-64
# build (toolchain-mingw-x86_64.cmake), which compiles the same sources.
#
# The file is self-contained on purpose: CMake reads it again for every
# try_compile project, and nothing else from the source tree is available
# there in a reliable way.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_tw_triple i686-w64-mingw32)

# Prefer the posix thread-model compilers: only they provide std::thread,
# std::mutex and friends in this GCC version. Fall back to the plain names
# (which Debian points at the win32 thread model by default).
# A compiler given on the command line (-DCMAKE_CXX_COMPILER=...) wins.
if(NOT CMAKE_C_COMPILER)
  find_program(_tw_cc NAMES ${_tw_triple}-gcc-posix ${_tw_triple}-gcc NO_CACHE REQUIRED)
  set(CMAKE_C_COMPILER "${_tw_cc}")
endif()
if(NOT CMAKE_CXX_COMPILER)
  find_program(_tw_cxx NAMES ${_tw_triple}-g++-posix ${_tw_triple}-g++ NO_CACHE REQUIRED)
  set(CMAKE_CXX_COMPILER "${_tw_cxx}")
endif()
if(NOT CMAKE_RC_COMPILER)
  find_program(_tw_rc NAMES ${_tw_triple}-windres NO_CACHE REQUIRED)
  set(CMAKE_RC_COMPILER "${_tw_rc}")
endif()

# Look for libraries, headers and packages only in the target's sysroot, and
# for build tools only on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_tw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs are copied and started on their own, with no MinGW runtime
# DLLs beside them: link libgcc, libstdc++ and winpthread into every binary.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

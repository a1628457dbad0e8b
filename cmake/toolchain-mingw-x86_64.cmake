# Cross-compiles for 64-bit Windows (x86-64, PE32+) with Debian's mingw-w64.
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
#
# The shipped programs are 32-bit (toolchain-mingw-i686.cmake). This build
# compiles the same sources as x86-64 programs so that their tests can run
# under the host's 64-bit Wine: CMAKE_CROSSCOMPILING_EMULATOR points at
# tools/wine/wine-run, so `add_test(NAME x COMMAND some_target)` and
# gtest_discover_tests() start the .exe through Wine.
#
# The file is self-contained on purpose: CMake reads it again for every
# try_compile project, and nothing else from the source tree is available
# there in a reliable way.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(_tw_triple x86_64-w64-mingw32)

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
# (Under Wine this also spares each test prefix a copy of those DLLs.)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Run test programs under Wine. A value given on the command line or in a
# preset (-DCMAKE_CROSSCOMPILING_EMULATOR=...) is kept.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  get_filename_component(_tw_wine_run "${CMAKE_CURRENT_LIST_DIR}/../tools/wine/wine-run" ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${_tw_wine_run}")
endif()

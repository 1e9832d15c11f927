# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads:
# g++-mingw-w64-x86-64-posix). Used by tools/windows-build.sh:
#   cmake -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VASKEL_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${VASKEL_MINGW_PREFIX}-gcc-posix ${VASKEL_MINGW_PREFIX}-gcc
  REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VASKEL_MINGW_PREFIX}-g++-posix ${VASKEL_MINGW_PREFIX}-g++
  REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VASKEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VASKEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program stands alone: the C and C++ runtimes and winpthreads are
# linked in, so no MinGW DLL has to travel with the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The tests and tools run the programs under Wine on the build machine.
find_program(VASKEL_WINE NAMES wine64 wine)
if(VASKEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VASKEL_WINE})
endif()

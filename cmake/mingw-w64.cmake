# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# posix-thread flavour, whose std::thread and std::mutex work without extra code):
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# Programs and libraries are linked statically (libgcc, libstdc++, winpthread), so they run on a
# bare Windows 10 without any DLL beside them. Tests run under Wine when it is installed: CTest
# starts each through the emulator below (WINEPREFIX and WINEDEBUG come from the environment).
# The 32-bit build, for a station whose vendor parts are 32-bit DLLs (a 64-bit program cannot load
# them), is cmake/mingw-w64-i686.cmake, which sets the triple and includes this file.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT VELLUMA_MINGW_TRIPLE)
  set(VELLUMA_MINGW_TRIPLE x86_64-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
set(CMAKE_C_COMPILER ${VELLUMA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLUMA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELLUMA_MINGW_TRIPLE}-windres)

# Headers and libraries come from the MinGW-w64 tree only; programs (the code generators, Wine)
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELLUMA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(VELLUMA_WINE NAMES wine wine64)
if(VELLUMA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELLUMA_WINE})
endif()

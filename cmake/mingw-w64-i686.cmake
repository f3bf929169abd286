# Cross build for 32-bit Windows (g++-mingw-w64-i686-posix): the same program, for a station
# whose CA-SDK server or EyeOne.dll is a 32-bit build. Wine runs it with Debian's wine32.
set(VELLUMA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
# Arithmetic in SSE2 registers, as the 64-bit build does: doubles are evaluated as doubles (not in
# the x87's 80 bits), so the two builds compute the same figures. Every processor that runs
# Windows 8 or later has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Cross-compiles the game for 64-bit Windows with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64), against the real ddraw, user32, gdi32 and kernel32.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HOPS_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HOPS_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${HOPS_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${HOPS_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HOPS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The MinGW runtime is linked in, so hops.exe needs no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

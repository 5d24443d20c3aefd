# Desktop Windows, x86-64, with Debian's mingw-w64 cross compilers (the POSIX
# threads variant) and its resource compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLASMA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLASMA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLASMA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLASMA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLASMA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows programs built here run on Linux under Wine.
find_program(PLASMA_WINE wine)
if(PLASMA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLASMA_WINE})
endif()

# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KQ_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KQ_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KQ_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KQ_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KQ_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KQ_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the program needs is linked in: the only imports left are Windows system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

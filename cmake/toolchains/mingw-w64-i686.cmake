# Cross-compiles the Windows program with Debian's mingw-w64 (i686), the -posix compilers (the
# -win32 ones have no std::mutex or std::thread), statically linked so that the program needs
# nothing beyond Windows. Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# /usr/bin/wine runs 32-bit programs where the kernel can and wine32 is installed.
find_program(VOCELL_WINE NAMES wine NO_CMAKE_FIND_ROOT_PATH)
if(VOCELL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VOCELL_WINE})
endif()

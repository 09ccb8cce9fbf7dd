# Cross-compiles the 32-bit Windows program with mingw-w64; tests run through Wine.
set(VOCELL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# /usr/bin/wine runs 32-bit programs where the kernel can and wine32 is installed.
find_program(VOCELL_WINE NAMES wine NO_CMAKE_FIND_ROOT_PATH)
if(VOCELL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VOCELL_WINE})
endif()

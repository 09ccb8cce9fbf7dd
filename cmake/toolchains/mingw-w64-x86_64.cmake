# Cross-compiles the 64-bit Windows program with mingw-w64; tests run through Wine.
set(VOCELL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Debian installs the 64-bit loader outside PATH; the 32-bit one is /usr/bin/wine.
find_program(VOCELL_WINE NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VOCELL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VOCELL_WINE})
endif()

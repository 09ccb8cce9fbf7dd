# The Linux desktop program (platform/linux, qt, tests/qt): Qt 6 windows and the
# removable drives through libudev, libmount and libblkid. AUTO builds it when they are all
# found, so that a machine without Qt still builds the rest; CI says ON, so that a missing
# package fails the build instead of skipping the program.
set(VOCELL_LINUX_DESKTOP AUTO CACHE STRING "Build the Linux desktop program: AUTO, ON or OFF")
set_property(CACHE VOCELL_LINUX_DESKTOP PROPERTY STRINGS AUTO ON OFF)

set(VOCELL_WITH_LINUX_DESKTOP OFF)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND VOCELL_LINUX_DESKTOP)
    if(VOCELL_LINUX_DESKTOP STREQUAL "AUTO")
        find_package(Qt6 6.2 QUIET COMPONENTS Widgets DBus Test)
        find_package(PkgConfig QUIET)
        if(Qt6_FOUND AND PKG_CONFIG_FOUND)
            pkg_check_modules(VOCELL_DRIVE_LIBRARIES QUIET libudev mount blkid)
            set(VOCELL_WITH_LINUX_DESKTOP ${VOCELL_DRIVE_LIBRARIES_FOUND})
        endif()
    else()
        find_package(Qt6 6.2 REQUIRED COMPONENTS Widgets DBus Test)
        set(VOCELL_WITH_LINUX_DESKTOP ON)
    endif()
endif()
message(STATUS "Linux desktop program: ${VOCELL_WITH_LINUX_DESKTOP}")

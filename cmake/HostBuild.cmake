# This project built again for the host, inside the cross build (its folder host/): the native
# compiler, no toolchain file, Release, no tests and no desktop program. Its data step makes the
# prompt package and the initial card structure the Windows installer and the Windows tests use,
# and the sample card; its command line makes the Linux archive scripts/test-windows.sh compares
# with the Windows one. Only those two targets are built.
include(ExternalProject)

set(VOCELL_HOST_BINARY_DIR ${CMAKE_BINARY_DIR}/host)
set(VOCELL_HOST_HOME ${VOCELL_HOST_BINARY_DIR}/home)
set(VOCELL_HOST_PACKAGE ${VOCELL_HOST_HOME}/Prompts/PromptUpdateVer1_3_1.vcp)
set(VOCELL_HOST_INITIAL ${VOCELL_HOST_HOME}/Data/InitializedFileStruct.vcb)
set(VOCELL_HOST_CLI ${VOCELL_HOST_BINARY_DIR}/cli/vocell)

ExternalProject_Add(vocell_host
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${VOCELL_HOST_BINARY_DIR}
    PREFIX ${CMAKE_BINARY_DIR}/host-steps
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
               -DVOCELL_BUILD_TESTS=OFF
               -DVOCELL_LINUX_DESKTOP=OFF
               -DVOCELL_WARNINGS_AS_ERRORS=${VOCELL_WARNINGS_AS_ERRORS}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target vocell_data vocell
    # The host build knows when its files are out of date: it is asked every time, and what
    # depends on its files is rebuilt only when they change.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${VOCELL_HOST_PACKAGE} ${VOCELL_HOST_INITIAL} ${VOCELL_HOST_CLI}
    INSTALL_COMMAND ""
    USES_TERMINAL_CONFIGURE ON
    USES_TERMINAL_BUILD ON)

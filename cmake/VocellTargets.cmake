# Layering: a target exports only the headers of its own folder. A consumer can include
# "archive/ArchiveScanner.h" only when it links vocell_archive, so an include that reaches up the
# layers (archive/ including "app/...") fails to build instead of passing unnoticed.
#
# Each target gets an include root of its own under the build tree, holding links to the headers
# of its source folder alone (not of the folders below it).
function(vocell_export_headers target)
    set_property(GLOBAL APPEND PROPERTY VOCELL_LAYERED_TARGETS ${target})
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
    set(root "${CMAKE_BINARY_DIR}/exported-headers/${target}")
    file(REMOVE_RECURSE "${root}")
    file(MAKE_DIRECTORY "${root}/${folder}")
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    foreach(header IN LISTS headers)
        get_filename_component(name "${header}" NAME)
        file(CREATE_LINK "${header}" "${root}/${folder}/${name}" SYMBOLIC)
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE "${root}")
    else()
        target_include_directories(${target} PUBLIC "${root}")
    endif()
endfunction()

# Compiler warnings every target of the project is built with; errors when
# VOCELL_WARNINGS_AS_ERRORS is on (the presets and CI turn it on).
add_library(vocell_warnings INTERFACE)
if(MSVC)
    target_compile_options(vocell_warnings INTERFACE /W4 $<$<BOOL:${VOCELL_WARNINGS_AS_ERRORS}>:/WX>)
else()
    target_compile_options(vocell_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        $<$<BOOL:${VOCELL_WARNINGS_AS_ERRORS}>:-Werror>)
    # GCC 12 reports overlapping copies inside std::string's additions at -O2 and above that
    # cannot happen (GCC bug 105329); the warning says nothing about this code.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12)
        target_compile_options(vocell_warnings INTERFACE -Wno-restrict)
    endif()
endif()

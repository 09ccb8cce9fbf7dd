# The direction of the layers, checked over every target's link list once all are declared:
#
#   front ends     cli/, qt/, windows/, data/ (each its own; none links another)
#   app/           the dialog and what it needs from a window system
#   operations/    backup, restore, update, initialize
#   devices/ and archive/
#   platform/      the file and drive services
#   common/        the texts
#
# A target links only targets of its own layer or below, so a lower layer that links a higher one,
# or a front end that links another, stops the configure. Since a target sees only the headers of
# what it links (vocell_export_headers), an include that reaches up fails to compile as well.

set(VOCELL_LAYERS common platform "archive|devices" operations app)
set(VOCELL_FRONT_ENDS cli qt windows data packaging)

# The layer of a target from its source folder: its rank, and for a front end its name; nothing
# for targets outside the layers (tests, benchmarks, fuzz targets, imported libraries).
function(vocell_layer_of target out_rank out_front_end)
    set(${out_rank} "" PARENT_SCOPE)
    set(${out_front_end} "" PARENT_SCOPE)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    get_target_property(source_dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${source_dir}")
    string(REGEX REPLACE "/.*" "" top "${folder}")
    set(rank 0)
    foreach(layer IN LISTS VOCELL_LAYERS)
        if(top MATCHES "^(${layer})$")
            set(${out_rank} ${rank} PARENT_SCOPE)
            return()
        endif()
        math(EXPR rank "${rank} + 1")
    endforeach()
    if(top IN_LIST VOCELL_FRONT_ENDS)
        set(${out_rank} ${rank} PARENT_SCOPE)
        set(${out_front_end} ${top} PARENT_SCOPE)
    endif()
endfunction()

function(vocell_check_layers)
    get_property(targets GLOBAL PROPERTY VOCELL_LAYERED_TARGETS)
    foreach(target IN LISTS targets)
        vocell_layer_of(${target} rank front_end)
        if(rank STREQUAL "")
            continue()
        endif()
        get_target_property(links ${target} LINK_LIBRARIES)
        get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
        foreach(link IN LISTS links interface_links)
            vocell_layer_of("${link}" link_rank link_front_end)
            if(link_rank STREQUAL "")
                continue()
            endif()
            if(link_rank GREATER rank OR (link_front_end AND NOT link_front_end STREQUAL front_end))
                message(FATAL_ERROR "${target} links ${link}, which is above it or another front end: "
                                    "a layer may use only the layers below it")
            endif()
        endforeach()
    endforeach()
endfunction()

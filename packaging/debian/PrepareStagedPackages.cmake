# Run by CPack on the staged packages before it builds them (CPACK_PRE_BUILD_SCRIPTS), for what
# dh_strip and dh_compress do in a Debian build:
# - the programs, already stripped by CPack, lose the sections that only name the compiler;
# - the manual pages and the changelogs are gzipped at the highest level, without a name or a
#   time in the header, so that the same build makes the same packages.
find_program(strip strip REQUIRED)
find_program(gzip gzip REQUIRED)

function(run)
    execute_process(COMMAND ${ARGV} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "Preparing the packages failed: ${ARGV}")
    endif()
endfunction()

file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(programs ${staged})
list(FILTER programs INCLUDE REGEX "/bin/[^/]+$")
set(documents ${staged})
list(FILTER documents INCLUDE REGEX "/share/(man/man[1-9]/[^/]+\\.[1-9]|doc/[^/]+/changelog\\.Debian)$")
if(NOT programs OR NOT documents)
    message(FATAL_ERROR "No program or no manual page in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
    run(${strip} --remove-section=.comment --remove-section=.note "${program}")
endforeach()
foreach(document IN LISTS documents)
    run(${gzip} -9 -n -f "${document}")
endforeach()

# Writes the Qt program's table of dialog templates from the Windows resource script, so that the
# two programs lay out their dialogs from one source.
#
#   cmake -DRESOURCE_SCRIPT=windows/VocellUtility.rc -DRESOURCE_IDS=windows/ResourceIds.h
#         -DOUTPUT=.../DialogTemplateTable.h -P cmake/DialogTemplateTable.cmake
#
# Every DIALOGEX of the script becomes a DialogTemplate constant named after it (IDD_MAIN_DIALOG
# becomes kMainDialog). A control the Qt program has no widget for stops the build instead of
# being left out.

cmake_minimum_required(VERSION 3.22)

foreach(variable IN ITEMS RESOURCE_SCRIPT RESOURCE_IDS OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "DialogTemplateTable.cmake needs -D${variable}=...")
    endif()
endforeach()

# The Windows ids the resource script takes from windows.h.
set(id_IDOK 1)
set(id_IDCANCEL 2)

function(read_lines path out)
    file(READ "${path}" content)
    if(content MATCHES "[][;]")
        message(FATAL_ERROR "${path}: ';', '[' and ']' are not read by this generator")
    endif()
    string(REPLACE "\r" "" content "${content}")
    string(REPLACE "\n" ";" content "${content}")
    set(${out} "${content}" PARENT_SCOPE)
endfunction()

# IDC_PROMPT_VERSION -> PromptVersion, IDOK -> Ok.
function(camel_name name out)
    string(REGEX REPLACE "^ID[A-Z]?_" "" words "${name}")
    string(REGEX REPLACE "^ID" "" words "${words}")
    string(TOLOWER "${words}" words)
    string(REPLACE "_" ";" words "${words}")
    set(result "")
    foreach(word IN LISTS words)
        string(SUBSTRING "${word}" 0 1 first)
        string(SUBSTRING "${word}" 1 -1 others)
        string(TOUPPER "${first}" first)
        string(APPEND result "${first}${others}")
    endforeach()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(fail statement why)
    message(FATAL_ERROR "${RESOURCE_SCRIPT}: ${why}: ${statement}")
endfunction()

# The ids the resource script and the C++ code share.
read_lines("${RESOURCE_IDS}" id_lines)
foreach(line IN LISTS id_lines)
    if(line MATCHES "^#define[ \t]+([A-Z0-9_]+)[ \t]+(.+)$")
        math(EXPR value "${CMAKE_MATCH_2}")
        set(id_${CMAKE_MATCH_1} ${value})
    endif()
endforeach()

# One control statement: its TemplateControl initialiser in table_line, and the check that its id
# means the same to the C++ code in id_check.
function(read_control statement)
    if(NOT statement MATCHES "^([A-Z]+)[ \t]+(.*)$")
        fail("${statement}" "not a control")
    endif()
    set(type ${CMAKE_MATCH_1})
    set(rest "${CMAKE_MATCH_2}")
    set(text "\"\"")
    if(type MATCHES "^(GROUPBOX|PUSHBUTTON|DEFPUSHBUTTON|LTEXT|ICON)$")
        if(rest MATCHES "^\"(([^\"]|\"\")*)\"[ \t]*,(.*)$")
            string(REPLACE "\"\"" "\\\"" text "\"${CMAKE_MATCH_1}\"")
            set(rest "${CMAKE_MATCH_3}")
        elseif(rest MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]*,(.*)$")
            # A macro of common/Version.h, which the table includes as the script does.
            set(text ${CMAKE_MATCH_1})
            set(rest "${CMAKE_MATCH_2}")
        else()
            fail("${statement}" "no text")
        endif()
        # An icon's text names the icon, which is the application's; nothing to show.
        if(type STREQUAL "ICON")
            set(text "\"\"")
        endif()
    endif()

    string(REPLACE "," ";" fields "${rest}")
    list(TRANSFORM fields STRIP)
    list(LENGTH fields count)
    if(count LESS 5 OR count GREATER 7)
        fail("${statement}" "expected an id, a place and a size")
    endif()
    list(GET fields 0 name)
    list(SUBLIST fields 1 4 place)
    foreach(number IN LISTS place)
        if(NOT number MATCHES "^[0-9]+$")
            fail("${statement}" "'${number}' is not a number in dialog units")
        endif()
    endforeach()
    list(GET place 3 height)
    list(JOIN place ", " place)

    set(styles "")
    set(cleared "")
    if(count GREATER 5)
        list(GET fields 5 style)
        string(REPLACE "|" ";" flags "${style}")
        list(TRANSFORM flags STRIP)
        foreach(flag IN LISTS flags)
            if(flag MATCHES "^NOT[ \t]+(.+)$")
                list(APPEND cleared ${CMAKE_MATCH_1})
            else()
                list(APPEND styles ${flag})
            endif()
        endforeach()
    endif()

    if(type STREQUAL "GROUPBOX")
        set(kind GroupBox)
    elseif(type STREQUAL "PUSHBUTTON")
        set(kind PushButton)
    elseif(type STREQUAL "DEFPUSHBUTTON")
        set(kind DefaultPushButton)
    elseif(type STREQUAL "LTEXT")
        # Taller than a line of the templates' 8-point font, a label wraps its words, unless its
        # style keeps it on one line.
        if(height GREATER 8 AND NOT "SS_LEFTNOWORDWRAP" IN_LIST styles)
            set(kind WrappingLabel)
        else()
            set(kind Label)
        endif()
    elseif(type STREQUAL "EDITTEXT")
        if(NOT "ES_READONLY" IN_LIST styles)
            fail("${statement}" "the Qt program has only read-only fields")
        endif()
        if("ES_CENTER" IN_LIST styles)
            set(kind CentredReadOnlyEdit)
        else()
            set(kind ReadOnlyEdit)
        endif()
    elseif(type STREQUAL "COMBOBOX")
        if(NOT "CBS_DROPDOWNLIST" IN_LIST styles)
            fail("${statement}" "the Qt program has only drop-down lists")
        endif()
        set(kind DropDownList)
    elseif(type STREQUAL "ICON")
        set(kind Icon)
    else()
        fail("${statement}" "no Qt widget for a ${type}")
    endif()

    set(check "")
    if(name STREQUAL "IDC_STATIC")
        set(id kStaticId)
    else()
        if(NOT DEFINED id_${name})
            fail("${statement}" "${name} is not in ${RESOURCE_IDS}")
        endif()
        camel_name(${name} member)
        set(id ControlId::${member})
        set(check "${id} == ${id_${name}}")
    endif()
    set(hidden "")
    if("WS_VISIBLE" IN_LIST cleared)
        set(hidden ", true")
    endif()
    set(table_line "    TemplateControl{${id}, K::${kind}, ${text}, ${place}${hidden}}," PARENT_SCOPE)
    set(id_check "${check}" PARENT_SCOPE)
endfunction()

set(control_types GROUPBOX PUSHBUTTON DEFPUSHBUTTON LTEXT EDITTEXT COMBOBOX ICON)
set(tables "")
set(checks "")
set(dialog "")
set(statement "")

macro(end_statement)
    if(NOT statement STREQUAL "")
        read_control("${statement}")
        string(APPEND controls "${table_line}\n")
        if(NOT id_check STREQUAL "" AND NOT id_check IN_LIST checks)
            list(APPEND checks "${id_check}")
        endif()
        set(statement "")
    endif()
endmacro()

read_lines("${RESOURCE_SCRIPT}" script_lines)
foreach(line IN LISTS script_lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^//")
        continue()
    endif()
    if(dialog STREQUAL "")
        if(line MATCHES "^(IDD_[A-Z0-9_]+)[ \t]+DIALOGEX[ \t]+(.*)$")
            set(dialog ${CMAKE_MATCH_1})
            string(REPLACE "," ";" frame "${CMAKE_MATCH_2}")
            list(TRANSFORM frame STRIP)
            list(GET frame 2 width)
            list(GET frame 3 height)
            set(caption "")
            set(controls "")
            set(in_controls FALSE)
        endif()
        continue()
    endif()
    if(NOT in_controls)
        if(line MATCHES "^CAPTION[ \t]+(\".*\")$")
            set(caption "${CMAKE_MATCH_1}")
        elseif(line STREQUAL "BEGIN")
            set(in_controls TRUE)
        endif()
        continue()
    endif()
    if(line STREQUAL "END")
        end_statement()
        if(NOT DEFINED id_${dialog})
            message(FATAL_ERROR "${RESOURCE_SCRIPT}: ${dialog} is not in ${RESOURCE_IDS}")
        endif()
        camel_name(${dialog} constant)
        string(APPEND tables "inline constexpr std::array k${constant}Controls{\n${controls}};\n"
               "inline constexpr DialogTemplate k${constant}{${id_${dialog}}, ${caption}, ${width}, ${height}, "
               "k${constant}Controls};\n\n")
        set(dialog "")
        continue()
    endif()
    if(line MATCHES "^([A-Z]+)([ \t]|$)")
        if(NOT CMAKE_MATCH_1 IN_LIST control_types)
            message(FATAL_ERROR "${RESOURCE_SCRIPT}: no Qt widget for a ${CMAKE_MATCH_1}: ${line}")
        endif()
        end_statement()
        set(statement "${line}")
    elseif(statement STREQUAL "")
        message(FATAL_ERROR "${RESOURCE_SCRIPT}: not a control: ${line}")
    else()
        # The rest of a statement written over several lines.
        string(APPEND statement " ${line}")
    endif()
endforeach()
if(NOT dialog STREQUAL "")
    message(FATAL_ERROR "${RESOURCE_SCRIPT}: ${dialog} has no END")
endif()

set(id_checks "")
foreach(check IN LISTS checks)
    string(APPEND id_checks "static_assert(${check});\n")
endforeach()
file(WRITE "${OUTPUT}" "#pragma once
// Generated from windows/VocellUtility.rc by cmake/DialogTemplateTable.cmake: edit the resource
// script, not this file.

#include <array>

#include \"app/DialogLayout.h\"
#include \"common/Version.h\"
#include \"qt/DialogTemplates.h\"

namespace vocell::qt::resource {

// The ids the resource script gives the controls are the ones the C++ code knows them by.
${id_checks}
using K = ControlKind;

${tables}}  // namespace vocell::qt::resource
")

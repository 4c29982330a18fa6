# Fails when a source file includes a header of a folder on its own floor or above it: every
# include must point down, so that each folder builds on the ones below and none of them
# knows the folders that use it.
#   cmake -DSOURCE=<source tree> -P CheckLayers.cmake
# The floors, lowest first; folders on one floor do not include each other. A folder not
# named here (tests/, bench/: the test programs and benchmarks on top) is not checked.
cmake_minimum_required(VERSION 3.25)
set(floors
    "platform/sys"
    "platform/db;platform/ui;platform/sheet;platform/mail"
    "lumistore;corvakit"
    "core"
    "workbooks"
    "wizard"
    "admin"
    "mail"
    "lumidesk;lumicell"
    "lumisheet")

if(NOT IS_DIRECTORY "${SOURCE}")
    message(FATAL_ERROR "SOURCE must name the source tree")
endif()

# The folder an include names: its first two parts under platform/, else its first part.
function(lv_folder_of path out)
    if(path MATCHES "^platform/([^/]+)/")
        set(${out} "platform/${CMAKE_MATCH_1}" PARENT_SCOPE)
    elseif(path MATCHES "^([^/]+)/")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

set(problems "")
set(checked 0)
list(LENGTH floors count)
math(EXPR top "${count} - 1")
foreach(floor RANGE ${top})
    # The folders a folder on this floor must not include: its own floor's others and all above.
    set(forbidden "")
    foreach(above RANGE ${floor} ${top})
        list(GET floors ${above} folders)
        list(APPEND forbidden ${folders})
    endforeach()
    list(GET floors ${floor} folders)
    foreach(folder IN LISTS folders)
        file(GLOB_RECURSE files LIST_DIRECTORIES false "${SOURCE}/${folder}/*.h" "${SOURCE}/${folder}/*.cpp"
             "${SOURCE}/${folder}/*.in")
        foreach(file IN LISTS files)
            math(EXPR checked "${checked} + 1")
            file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
            foreach(line IN LISTS includes)
                string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" header "${line}")
                lv_folder_of("${header}" target)
                if(target AND NOT target STREQUAL folder AND target IN_LIST forbidden)
                    file(RELATIVE_PATH shown "${SOURCE}" "${file}")
                    string(APPEND problems "\n  ${shown} (${folder}) includes ${header} (${target})")
                endif()
            endforeach()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "no source file found under ${SOURCE}")
endif()
if(problems)
    message(FATAL_ERROR "Includes that point to the same floor or up:${problems}")
endif()
message(STATUS "${checked} files checked: every include points down")

# Checks the names ctest gives the tests of the build folder BUILD: each names its case in
# words (a parameterised test through its name generator, not by its index), carries no
# printed parameter value, and is given once. Names that change from build to build, or
# that say nothing, make the failures of one run impossible to compare with another's.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${BUILD} --show-only=json-v1
                OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "ctest could not list the tests")
endif()
string(JSON count LENGTH "${listing}" tests)
set(problems "")
set(seen "")
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
    string(JSON name GET "${listing}" tests ${index} name)
    if(name MATCHES "#" OR name MATCHES "/[0-9]+$")
        string(APPEND problems "\n  ${name}")
    endif()
    if(name IN_LIST seen)
        string(APPEND problems "\n  ${name} (twice)")
    endif()
    list(APPEND seen "${name}")
endforeach()
if(problems)
    message(FATAL_ERROR "Test names without a readable, stable case name:${problems}")
endif()
message(STATUS "${count} test names checked")

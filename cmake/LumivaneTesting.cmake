# lv_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds one GoogleTest program linked with the shared test main (which points every
# settings and data folder at a fresh temporary folder and runs Qt offscreen) and
# registers each of its cases with ctest.
include(GoogleTest)

function(lv_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE lv_test_main ${T_LIBS})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LUMIVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};LUMIVANE_PYTHON=${LUMIVANE_PYTHON}"
                   TIMEOUT 600)
endfunction()

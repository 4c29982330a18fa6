# lv_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Builds one GoogleTest program linked with the shared test main (which points every
# settings, data and runtime folder at a fresh temporary folder and runs Qt offscreen) and
# registers each of its cases with ctest under a name that stays the same from build to build.
# The headers every test reads (GoogleTest, the common Qt classes) are precompiled once per test
# program (LUMIVANE_TEST_PCH, on by default): most of a test file's compile time is theirs.
include(GoogleTest)

option(LUMIVANE_TEST_PCH "Precompile the headers every test program reads" ON)
set(LUMIVANE_TEST_PCH_HEADERS
    <gtest/gtest.h> <QApplication> <QByteArray> <QCheckBox> <QDir> <QFile> <QFileInfo> <QLineEdit>
    <QPushButton> <QString> <QStringList> <QVariant> <functional> <memory> <string> <vector>)

function(lv_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE lv_test_main ${T_LIBS})
    if(LUMIVANE_TEST_PCH)
        target_precompile_headers(${name} PRIVATE ${LUMIVANE_TEST_PCH_HEADERS})
    endif()
    # Test names are "Suite.Test" and, for a parameterised test, its name generator's name:
    # without NO_PRETTY_VALUES ctest would append the printed value, which for a struct is its
    # bytes, heap addresses included, so the name would change with every build.
    gtest_discover_tests(${name}
        NO_PRETTY_VALUES
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        TEST_LIST ${name}_TESTS
        PROPERTIES TIMEOUT 600)
    # gtest_discover_tests flattens a list-valued property (only the first variable of ENVIRONMENT
    # would reach the tests), so the environment is set on the discovered tests by a file that
    # ctest reads after the discovery.
    set(env_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
    file(WRITE ${env_file}
        "if(${name}_TESTS)\n"
        "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"QT_QPA_PLATFORM=offscreen;"
        "LUMIVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};LUMIVANE_PYTHON=${LUMIVANE_PYTHON}\")\n"
        "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${T_LABELS}\")\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_file})
endfunction()

# lv_use_master_db(<target>)
# Gives a test or benchmark the master database the build makes: the target waits for it and
# finds it through the compile definition LUMIVANE_MASTER_DB.
function(lv_use_master_db target)
    if(TARGET masterdb)
        add_dependencies(${target} masterdb)
        target_compile_definitions(${target} PRIVATE LUMIVANE_MASTER_DB="${LUMIVANE_MASTER_DB}")
    endif()
endfunction()

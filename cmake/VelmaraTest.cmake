# velmara_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib... LABEL unit|widget|integration [TIMEOUT s])
#
# Builds one GoogleTest executable with the common test main (a QApplication on
# the offscreen platform), registers it with CTest under a label and a timeout,
# and gives it a temp folder of its own (VELMARA_TEST_TMP).
find_package(GTest REQUIRED)

option(VELMARA_TEST_PCH "Compile the tests with one shared precompiled header" ON)
# Debug info of the test code in RelWithDebInfo builds: line tables only. A
# failing check names its own file and line, and backtraces name functions and
# lines; the product libraries keep their full debug info. -g gives the test
# code full debug info too.
set(VELMARA_TEST_DEBUG_INFO "-g1" CACHE STRING "Debug info option of the test code in RelWithDebInfo builds")

# Every test target reuses the precompiled header of velmara_test_support, and
# GCC takes a precompiled header only where every macro is defined the same way
# as where it was built. QTest defines its two folder macros per target; the
# tests use neither (no QFINDTESTDATA), so they are the same for all of them.
get_target_property(qt_test_defs Qt6::Test INTERFACE_COMPILE_DEFINITIONS)
list(FILTER qt_test_defs EXCLUDE REGEX "^QT_TESTCASE_(BUILD|SOURCE)DIR=")
list(APPEND qt_test_defs "QT_TESTCASE_BUILDDIR=\"${CMAKE_BINARY_DIR}/tests\""
                         "QT_TESTCASE_SOURCEDIR=\"${CMAKE_SOURCE_DIR}/tests\"")
set_target_properties(Qt6::Test PROPERTIES INTERFACE_COMPILE_DEFINITIONS "${qt_test_defs}")

# velmara_test_code(target): what every target of test code shares, the
# precompiled header (owned by velmara_test_support) and the debug info level.
function(velmara_test_code target)
    target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:${VELMARA_TEST_DEBUG_INFO}>)
    if(NOT VELMARA_TEST_PCH)
        return()
    endif()
    if(target STREQUAL "velmara_test_support")
        target_precompile_headers(${target} PRIVATE
            <gtest/gtest.h> <QApplication> <QDialog> <QDir> <QFile> <QFileInfo> <QLineEdit>
            <QList> <QMap> <QObject> <QPushButton> <QString> <QStringList> <QTemporaryDir>
            <QTimer> <QVariant> <QWidget>)
    else()
        target_precompile_headers(${target} REUSE_FROM velmara_test_support)
    endif()
    # ccache takes a precompiled header into its hash only with this sloppiness;
    # without it, it compiles every test source uncached.
    if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
        set(sloppiness "pch_defines,time_macros")
        if(DEFINED ENV{CCACHE_SLOPPINESS})
            set(sloppiness "$ENV{CCACHE_SLOPPINESS},${sloppiness}")
        endif()
        set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER
            "${CMAKE_COMMAND};-E;env;CCACHE_SLOPPINESS=${sloppiness};${CMAKE_CXX_COMPILER_LAUNCHER}")
    endif()
endfunction()

function(velmara_add_test)
    # WRAPPER: a command the test binary runs under (pg_virtualenv for the
    # tests that need a throw-away PostgreSQL server).
    cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS;WRAPPER" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL unit)
    endif()
    if(NOT T_TIMEOUT)
        if(T_LABEL STREQUAL "integration")
            set(T_TIMEOUT 300)
        else()
            set(T_TIMEOUT 120)
        endif()
    endif()
    if(VELMARA_SANITIZE)
        # Sanitized builds run several times slower.
        math(EXPR T_TIMEOUT "${T_TIMEOUT} * 3")
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE velmara_test_support ${T_LIBS} GTest::gtest GTest::gmock)
    velmara_test_code(${T_NAME})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    set(tmp ${CMAKE_BINARY_DIR}/test-tmp/${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_WRAPPER} $<TARGET_FILE:${T_NAME}>)
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS ${T_LABEL}
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELMARA_TEST_TMP=${tmp};VELMARA_BIN_DIR=${CMAKE_BINARY_DIR}/bin;VELMARA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
    # As root, pg_virtualenv makes the same cluster for every run: one at a time.
    if(T_WRAPPER MATCHES "pg_virtualenv")
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK pg_virtualenv)
    endif()
endfunction()

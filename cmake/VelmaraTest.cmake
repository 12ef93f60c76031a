# velmara_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib... LABEL unit|widget|integration [TIMEOUT s])
#
# Builds one GoogleTest executable with the common test main (a QApplication on
# the offscreen platform), registers it with CTest under a label and a timeout,
# and gives it a temp folder of its own (VELMARA_TEST_TMP).
find_package(GTest REQUIRED)

function(velmara_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    set(tmp ${CMAKE_BINARY_DIR}/test-tmp/${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS ${T_LABEL}
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELMARA_TEST_TMP=${tmp};VELMARA_BIN_DIR=${CMAKE_BINARY_DIR}/bin;VELMARA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

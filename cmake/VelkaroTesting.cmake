# velkaro_add_test(NAME name SOURCES a.cpp ... LIBRARIES lib ... [LABELS label ...])
# One executable per test source, run offscreen against the private ODBC configuration.
function(velkaro_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set(home "${CMAKE_BINARY_DIR}/test-home/${ARG_NAME}")
    file(MAKE_DIRECTORY "${home}/config" "${home}/runtime")
    set_tests_properties(${ARG_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ODBCSYSINI=${VELKARO_ODBC_DIR};ODBCINI=${VELKARO_ODBC_DIR}/user.ini;VELKARO_ODBC_DIR=${VELKARO_ODBC_DIR};XDG_CONFIG_HOME=${home}/config;XDG_RUNTIME_DIR=${home}/runtime;HOME=${home}"
        LABELS "${ARG_LABELS}"
        TIMEOUT 300)
endfunction()

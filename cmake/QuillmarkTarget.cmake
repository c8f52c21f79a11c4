# Common settings for every target of the project.
function(qm_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(QUILLMARK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE
        QT_NO_URL_CAST_FROM_STRING)
endfunction()

# qm_library(name SOURCES ... LIBS ...): a static library whose headers are
# reached as <folder/Header.h> from the project root.
function(qm_library name)
    cmake_parse_arguments(QL "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${QL_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(${name} PUBLIC ${QL_LIBS})
    qm_target_defaults(${name})
endfunction()

# qm_test(name SOURCES ... LIBS ...): a QtTest executable registered with CTest,
# run on the offscreen platform with every location redirected by the test itself.
# The browser engine of the landing-page tab refuses its sandbox as root,
# which CI runs as: any test that shows the tab needs it switched off.
function(qm_test name)
    cmake_parse_arguments(QT "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${QT_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE Qt6::Test qm_testsupport ${QT_LIBS})
    qm_target_defaults(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUILLMARK_TEST=1;QTWEBENGINE_DISABLE_SANDBOX=1"
        TIMEOUT 300)
endfunction()

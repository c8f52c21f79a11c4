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

# The libraries a target links, directly or through the project's own libraries.
function(_qm_links_reached target out)
    set(reached)
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue current)
        get_target_property(links ${current} LINK_LIBRARIES)
        if(NOT links)
            continue()
        endif()
        foreach(link IN LISTS links)
            if(NOT link IN_LIST reached)
                list(APPEND reached ${link})
                if(link MATCHES "^qm_" AND TARGET ${link})
                    list(APPEND queue ${link})
                endif()
            endif()
        endforeach()
    endwhile()
    set(${out} ${reached} PARENT_SCOPE)
endfunction()

# qm_check_layers(LAYERS ... GUI_FREE ...): stops the configuration when the
# dependencies stop pointing one way. LAYERS lists the libraries from the
# bottom up, and each may link only those before it; the GUI_FREE ones must
# not reach Qt's Gui or Widgets.
function(qm_check_layers)
    cmake_parse_arguments(QC "" "" "LAYERS;GUI_FREE" ${ARGN})
    set(below)
    foreach(layer IN LISTS QC_LAYERS)
        _qm_links_reached(${layer} reached)
        foreach(link IN LISTS reached)
            if(link IN_LIST QC_LAYERS AND NOT link IN_LIST below)
                message(FATAL_ERROR "${layer} links ${link}, which sits above it")
            endif()
        endforeach()
        list(APPEND below ${layer})
    endforeach()
    foreach(library IN LISTS QC_GUI_FREE)
        _qm_links_reached(${library} reached)
        foreach(gui Qt6::Gui Qt6::Widgets)
            if(gui IN_LIST reached)
                message(FATAL_ERROR "${library} must stay GUI-free but links ${gui}")
            endif()
        endforeach()
    endforeach()
endfunction()

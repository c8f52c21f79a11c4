# cmake -DQM_CMAKE_DIR=... -DQM_WORK=... -DQM_GENERATOR=... [-DQt6_DIR=...] [-DQM_CXX_COMPILER=...]
#       [-DQM_CXX_COMPILER_LAUNCHER=...] -P tst_layers.cmake
#
# Configures and builds the fixture project in layers/ once per case and
# checks that the layer rule stops the configuration or the build with the
# message that names the fault, and lets the sound project through; then
# builds one copy of the fixture again and again, as a developer does, to see
# that a verdict never outlives the code or the rule it was made for.

cmake_minimum_required(VERSION 3.25)

set(fixture ${CMAKE_CURRENT_LIST_DIR}/layers)
set(failures 0)

set(low_rule "qm_low builds without a window system and may use only qm_low, Qt6::Core")
set(high_unlinked "qm_high: high/High.h:3 includes \"low/Low.h\" (reached from high/High.cpp), which belongs to qm_low — qm_high may use only qm_high, Qt6::Core, Qt6::Widgets, Qt6::Gui")

# case | step that must fail ("configure", "build" or "none") | texts its output must hold, joined by "&&"
set(cases
    "sound|none|"
    "includes|build|qm_low: low/Upward.cpp:3 includes \"high/High.h\", which belongs to qm_high — qm_low builds without a window system and may use only qm_low, Qt6::Core&&qm_low: low/AngledUpward.cpp:4 includes <high/High.h>, which belongs to qm_high&&qm_low: low/Dialog.cpp:3 includes <QtWidgets/QMessageBox>, which belongs to Qt6::Widgets&&qm_low: low/Icon.cpp:2 includes <QIcon>, which belongs to Qt6::Gui&&qm_low: low/Loose.cpp:2 includes \"loose/Loose.h\", which no library holds — list it in the SOURCES of the library it belongs to&&5 include(s) of qm_low reach past its links"
    "macros|build|qm_low: low/MacroInclude.cpp includes \"side/Side.h\", which belongs to qm_side — ${low_rule}&&qm_low: low/MacroWindow.cpp includes <QtWidgets/QWidget>, which belongs to Qt6::Widgets — ${low_rule}&&2 include(s) of qm_low reach past its links"
    "header-chain|build|qm_low: low/WindowFrame.h:3 includes <QtWidgets/QWidget> (reached from low/Window.cpp through low/Window.h), which belongs to Qt6::Widgets — ${low_rule}&&1 include(s) of qm_low reach past its links"
    "unincluded-header|build|qm_low: low/Unincluded.h:3 includes <QtWidgets/QWidget>, which belongs to Qt6::Widgets — ${low_rule}&&1 include(s) of qm_low reach past its links"
    "upward-link|configure|qm_low links qm_high (through low_extras), which sits above it: qm_low may reach no other library"
    "sideways-link|configure|qm_high links qm_side, which sits beside it: qm_high may reach only qm_low (the LAYERS of qm_check_layers)"
    "unlinked|build|${high_unlinked}"
    "loop|configure|The LAYERS of qm_check_layers go round: qm_low → qm_side → qm_low"
    "gui-link|configure|qm_low must stay GUI-free but links Qt6::Gui (through low_extras, Qt::Widgets, Qt6::Widgets)"
    "unlisted|configure|qm_loose is a library of the project but not among the LAYERS of qm_check_layers")

function(run_step out_result out_text)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    # CMake wraps the lines of its own errors; the checks' texts are read unwrapped.
    string(REGEX REPLACE "\n  +" " " output "${output}")
    set(${out_result} ${result} PARENT_SCOPE)
    set(${out_text} "${output}" PARENT_SCOPE)
endfunction()

# Configures <source> into <build> for <case> and builds it; in <out_failed>
# the step that failed ("configure", "build" or ""), in <out_text> the output.
function(configure_and_build source build case out_failed out_text)
    set(options -DQM_CMAKE_DIR=${QM_CMAKE_DIR} -DQM_FIXTURE_CASE=${case})
    if(Qt6_DIR)
        list(APPEND options -DQt6_DIR=${Qt6_DIR})
    endif()
    if(QM_CXX_COMPILER)
        list(APPEND options -DCMAKE_CXX_COMPILER=${QM_CXX_COMPILER})
    endif()
    # The fixture compiles the same few files for every case: the project's
    # compiler cache serves all but the first.
    if(QM_CXX_COMPILER_LAUNCHER)
        list(APPEND options "-DCMAKE_CXX_COMPILER_LAUNCHER=${QM_CXX_COMPILER_LAUNCHER}")
    endif()
    run_step(result text ${CMAKE_COMMAND} -S ${source} -B ${build} -G ${QM_GENERATOR} ${options})
    set(failed_at "")
    if(NOT result EQUAL 0)
        set(failed_at configure)
    else()
        run_step(result built ${CMAKE_COMMAND} --build ${build})
        string(APPEND text "${built}")
        if(NOT result EQUAL 0)
            set(failed_at build)
        endif()
    endif()
    set(${out_failed} "${failed_at}" PARENT_SCOPE)
    set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# Counts a failure unless the step <failing> ("none" for none) failed and the
# output holds each of the texts that follow.
function(expect label failing failed_at text)
    if(failing STREQUAL "none" AND failed_at)
        message(NOTICE "FAIL ${label}: the ${failed_at} step failed:\n${text}")
        math(EXPR failures "${failures} + 1")
    elseif(NOT failing STREQUAL "none" AND NOT failed_at STREQUAL failing)
        message(NOTICE "FAIL ${label}: expected the ${failing} step to fail, got '${failed_at}':\n${text}")
        math(EXPR failures "${failures} + 1")
    else()
        foreach(line IN LISTS ARGN)
            string(FIND "${text}" "${line}" at)
            if(at LESS 0)
                message(NOTICE "FAIL ${label}: the output lacks\n  ${line}\nit was:\n${text}")
                math(EXPR failures "${failures} + 1")
            endif()
        endforeach()
    endif()
    set(failures ${failures} PARENT_SCOPE)
    message(NOTICE "ran ${label}")
endfunction()

foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 failing)
    list(LENGTH fields count)
    set(expected)
    if(count GREATER 2)
        list(GET fields 2 expected)
        string(REPLACE "&&" ";" expected "${expected}")
    endif()
    file(REMOVE_RECURSE ${QM_WORK}/${name})
    configure_and_build(${fixture} ${QM_WORK}/${name} ${name} failed_at text)
    expect(${name} ${failing} "${failed_at}" "${text}" ${expected})
endforeach()

# One copy of the fixture, built again after each change a developer makes.
set(again ${QM_WORK}/again)
file(REMOVE_RECURSE ${again})
file(COPY ${fixture}/ DESTINATION ${again}/source)
set(macro_lines "qm_low: low/MacroInclude.cpp includes \"side/Side.h\"" "qm_low: low/MacroWindow.cpp includes <QtWidgets/QWidget>")
configure_and_build(${again}/source ${again}/build macros failed_at text)
expect("again: macros" build "${failed_at}" "${text}" ${macro_lines})
# Nothing changed: the library still fails, with the same faults.
configure_and_build(${again}/source ${again}/build macros failed_at text)
expect("again: macros unchanged" build "${failed_at}" "${text}" ${macro_lines})
# The includes fixed: the next build passes.
foreach(file MacroInclude MacroWindow)
    file(WRITE ${again}/source/low/${file}.cpp "#include \"low/Low.h\"\n")
endforeach()
configure_and_build(${again}/source ${again}/build macros failed_at text)
expect("again: macros fixed" none "${failed_at}" "${text}")
# qm_high stops linking qm_low while its objects stay as they were.
configure_and_build(${again}/source ${again}/build sound failed_at text)
expect("again: sound" none "${failed_at}" "${text}")
configure_and_build(${again}/source ${again}/build unlinked failed_at text)
expect("again: unlinked" build "${failed_at}" "${text}" "${high_unlinked}")
configure_and_build(${again}/source ${again}/build unlinked failed_at text)
expect("again: unlinked unchanged" build "${failed_at}" "${text}" "${high_unlinked}")
configure_and_build(${again}/source ${again}/build sound failed_at text)
expect("again: linked again" none "${failed_at}" "${text}")
# A header that no file of its library includes changes no object: editing
# it still has the library checked again.
file(WRITE ${again}/source/low/Unincluded.h "#pragma once\n")
configure_and_build(${again}/source ${again}/build unincluded-header failed_at text)
expect("again: unincluded header" none "${failed_at}" "${text}")
file(WRITE ${again}/source/low/Unincluded.h "#pragma once\n\n#include <QtWidgets/QWidget>\n")
configure_and_build(${again}/source ${again}/build unincluded-header failed_at text)
expect("again: unincluded header edited" build "${failed_at}" "${text}"
       "qm_low: low/Unincluded.h:3 includes <QtWidgets/QWidget>, which belongs to Qt6::Widgets")
file(WRITE ${again}/source/low/Unincluded.h "#pragma once\n")
configure_and_build(${again}/source ${again}/build unincluded-header failed_at text)
expect("again: unincluded header fixed" none "${failed_at}" "${text}")

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} fault(s) in the layer rule")
endif()

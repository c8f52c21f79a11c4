# cmake -DQM_CMAKE_DIR=... -DQM_WORK=... -DQM_GENERATOR=... [-DQt6_DIR=...] -P tst_layers.cmake
#
# Configures and builds the fixture project in layers/ once per case and
# checks that the layer rule stops the configuration or the build with the
# message that names the fault, and lets the sound project through.

cmake_minimum_required(VERSION 3.25)

set(fixture ${CMAKE_CURRENT_LIST_DIR}/layers)
set(failures 0)

# case | step that must fail ("configure", "build" or "none") | texts its output must hold, joined by "&&"
set(cases
    "sound|none|"
    "includes|build|qm_low: low/Upward.cpp:3 includes \"high/High.h\", which belongs to qm_high — qm_low builds without a window system and may use only qm_low, Qt6::Core&&qm_low: low/AngledUpward.cpp:4 includes <high/High.h>, which belongs to qm_high&&qm_low: low/Dialog.cpp:3 includes <QtWidgets/QMessageBox>, which belongs to Qt6::Widgets&&qm_low: low/Icon.cpp:2 includes <QIcon>, which belongs to Qt6::Gui&&qm_low: low/Loose.cpp:2 includes \"loose/Loose.h\", which no library holds — list it in the SOURCES of the library it belongs to&&5 include(s) of qm_low reach past its links"
    "upward-link|configure|qm_low links qm_high (through low_extras), which sits above it"
    "gui-link|configure|qm_low must stay GUI-free but links Qt6::Gui (through low_extras, Qt::Widgets, Qt6::Widgets)"
    "unlisted|configure|qm_loose is a library of the project but not among the LAYERS of qm_check_layers")

function(run_step out_result out_text)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    # CMake wraps the lines of its own errors; the checks' texts are read unwrapped.
    string(REGEX REPLACE "\n  +" " " output "${output}")
    set(${out_result} ${result} PARENT_SCOPE)
    set(${out_text} "${output}" PARENT_SCOPE)
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

    set(build ${QM_WORK}/${name})
    file(REMOVE_RECURSE ${build})
    set(options -DQM_CMAKE_DIR=${QM_CMAKE_DIR} -DQM_FIXTURE_CASE=${name})
    if(Qt6_DIR)
        list(APPEND options -DQt6_DIR=${Qt6_DIR})
    endif()
    if(QM_CXX_COMPILER)
        list(APPEND options -DCMAKE_CXX_COMPILER=${QM_CXX_COMPILER})
    endif()
    run_step(result text ${CMAKE_COMMAND} -S ${fixture} -B ${build} -G ${QM_GENERATOR} ${options})
    set(failed_at "")
    if(NOT result EQUAL 0)
        set(failed_at configure)
    else()
        # Only the checks run in the sound case (nothing to compile); the
        # library itself must stop on its check in the others.
        if(failing STREQUAL "none")
            set(targets --target qm_low_includes qm_high_includes)
        else()
            set(targets --target qm_low)
        endif()
        run_step(result built ${CMAKE_COMMAND} --build ${build} ${targets})
        string(APPEND text "${built}")
        if(NOT result EQUAL 0)
            set(failed_at build)
        endif()
    endif()

    if(failing STREQUAL "none" AND failed_at)
        message(NOTICE "FAIL ${name}: the ${failed_at} step failed:\n${text}")
        math(EXPR failures "${failures} + 1")
        continue()
    elseif(NOT failing STREQUAL "none" AND NOT failed_at STREQUAL failing)
        message(NOTICE "FAIL ${name}: expected the ${failing} step to fail, got '${failed_at}':\n${text}")
        math(EXPR failures "${failures} + 1")
        continue()
    endif()
    foreach(line IN LISTS expected)
        string(FIND "${text}" "${line}" at)
        if(at LESS 0)
            message(NOTICE "FAIL ${name}: the output lacks\n  ${line}\nit was:\n${text}")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
    message(NOTICE "ran ${name}")
endforeach()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} fault(s) in the layer rule")
endif()

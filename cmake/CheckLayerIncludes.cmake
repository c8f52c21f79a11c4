# cmake -DQM_LAYER_DATA=<file> -P CheckLayerIncludes.cmake
#
# Fails when a library's code includes a header that its links do not reach.
# The data file (written by qm_check_layers at configure time) sets:
#   QM_LIBRARY          the library checked
#   QM_FILES            its own files (absolute paths)
#   QM_ROOTS            the folders a quoted or angled project include is looked up in
#   QM_PROJECT_DIRS     the folders that hold the project's files (source and build tree)
#   QM_OWNED_FILES      every file that a target of the project holds, and, in the same
#   QM_FILE_OWNERS      order, the target(s) holding it, joined by "|"
#   QM_ALLOWED          the library itself and the project's targets it links, directly or not
#   QM_QT_MODULES       every Qt module known to the build, and, in the same order,
#   QM_QT_DIRS          the folder of its headers
#   QM_ALLOWED_QT       the Qt modules the library links, directly or not
#   QM_GUI_FREE         true when the library must build without a window system
#
# A project header belongs to the target whose SOURCES hold it; one that no
# target holds is a fault too. A Qt header belongs to the module whose folder
# holds it (<QFoo>) or that its path names (<QtModule/QFoo>).

cmake_minimum_required(VERSION 3.25)

if(NOT QM_LAYER_DATA OR NOT EXISTS "${QM_LAYER_DATA}")
    message(FATAL_ERROR "CheckLayerIncludes: no data file given (-DQM_LAYER_DATA=...)")
endif()
include("${QM_LAYER_DATA}")

set(_qm_faults)

# The first existing file among <folder>/<header> for the given folders.
function(_qm_find_in header out)
    foreach(folder IN LISTS ARGN)
        if(EXISTS "${folder}/${header}" AND NOT IS_DIRECTORY "${folder}/${header}")
            get_filename_component(found "${folder}/${header}" ABSOLUTE)
            set(${out} "${found}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# <path> relative to the project folder (QM_PROJECT_DIRS) that holds it;
# <path> itself when none does.
function(_qm_relative path out)
    foreach(folder IN LISTS QM_PROJECT_DIRS)
        string(FIND "${path}" "${folder}/" at)
        if(at EQUAL 0)
            file(RELATIVE_PATH relative "${folder}" "${path}")
            set(${out} "${relative}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# TRUE when a project folder holds the absolute <path>.
function(_qm_in_project path out)
    _qm_relative("${path}" relative)
    if(relative STREQUAL path)
        set(${out} FALSE PARENT_SCOPE)
    else()
        set(${out} TRUE PARENT_SCOPE)
    endif()
endfunction()

# The Qt module a header belongs to, "" when it is none of Qt's.
function(_qm_qt_owner header out)
    set(${out} "" PARENT_SCOPE)
    if(header MATCHES "^(Qt[A-Za-z0-9]+)/")
        set(folder "${CMAKE_MATCH_1}")
        set(index 0)
        foreach(dir IN LISTS QM_QT_DIRS)
            get_filename_component(name "${dir}" NAME)
            if(name STREQUAL folder)
                list(GET QM_QT_MODULES ${index} module)
                set(${out} "${module}" PARENT_SCOPE)
                return()
            endif()
            math(EXPR index "${index} + 1")
        endforeach()
        # A module the build never looked for is still found through Qt's
        # top include folder, so it is named after its folder.
        string(REGEX REPLACE "^Qt" "Qt6::" module "${folder}")
        set(${out} "${module}" PARENT_SCOPE)
        return()
    endif()
    # The modules the library may use are tried first: a header found there is fine.
    set(order)
    foreach(module IN LISTS QM_ALLOWED_QT QM_QT_MODULES)
        if(NOT module IN_LIST order)
            list(APPEND order ${module})
        endif()
    endforeach()
    foreach(module IN LISTS order)
        list(FIND QM_QT_MODULES "${module}" index)
        if(index LESS 0)
            continue()
        endif()
        list(GET QM_QT_DIRS ${index} dir)
        if(EXISTS "${dir}/${header}" AND NOT IS_DIRECTORY "${dir}/${header}")
            set(${out} "${module}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()

# Line number of the first line of <file> that is <text>.
function(_qm_line_of file text out)
    file(STRINGS "${file}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(line STREQUAL text)
            set(${out} ${number} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "?" PARENT_SCOPE)
endfunction()

# Records a fault of <file>'s include line <line>: "<library>: <file>:<n>
# includes <header>, <why> — <rule>".
macro(_qm_fault file line shown why rule)
    _qm_line_of("${file}" "${line}" _qm_number)
    _qm_relative("${file}" _qm_shown_file)
    list(APPEND _qm_faults "${QM_LIBRARY}: ${_qm_shown_file}:${_qm_number} includes ${shown}, ${why} — ${rule}")
endmacro()

list(JOIN QM_ALLOWED ", " _qm_may)
if(QM_ALLOWED_QT)
    list(JOIN QM_ALLOWED_QT ", " _qm_may_qt)
    string(APPEND _qm_may ", ${_qm_may_qt}")
endif()
if(QM_GUI_FREE)
    set(_qm_may "${QM_LIBRARY} builds without a window system and may use only ${_qm_may}")
else()
    set(_qm_may "${QM_LIBRARY} may use only ${_qm_may}")
endif()

foreach(file IN LISTS QM_FILES)
    if(NOT file MATCHES "\\.(h|hh|hpp|hxx|c|cc|cpp|cxx|inl)$" OR NOT EXISTS "${file}")
        continue()
    endif()
    get_filename_component(own_dir "${file}" DIRECTORY)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "[<\"]([^>\"]+)([>\"])" shown "${line}")
        set(header "${CMAKE_MATCH_1}")
        if(CMAKE_MATCH_2 STREQUAL "\"")
            _qm_find_in("${header}" found "${own_dir}" ${QM_ROOTS})
        else()
            _qm_find_in("${header}" found ${QM_ROOTS})
        endif()
        if(found)
            _qm_in_project("${found}" inside)
        endif()
        if(found AND inside)
            list(FIND QM_OWNED_FILES "${found}" index)
            if(index LESS 0)
                _qm_fault("${file}" "${line}" "${shown}" "which no library holds"
                          "list it in the SOURCES of the library it belongs to")
                continue()
            endif()
            list(GET QM_FILE_OWNERS ${index} owners)
            string(REPLACE "|" ";" owners "${owners}")
            set(allowed FALSE)
            foreach(owner IN LISTS owners)
                if(owner IN_LIST QM_ALLOWED)
                    set(allowed TRUE)
                endif()
            endforeach()
            if(NOT allowed)
                list(JOIN owners " and " owner_text)
                _qm_fault("${file}" "${line}" "${shown}" "which belongs to ${owner_text}" "${_qm_may}")
            endif()
            continue()
        endif()
        if(found AND NOT inside)
            continue()   # the system's or a package's header outside Qt
        endif()
        _qm_qt_owner("${header}" module)
        if(module AND NOT module IN_LIST QM_ALLOWED_QT)
            _qm_fault("${file}" "${line}" "${shown}" "which belongs to ${module}" "${_qm_may}")
        endif()
    endforeach()
endforeach()

if(_qm_faults)
    foreach(fault IN LISTS _qm_faults)
        message(NOTICE "${fault}")
    endforeach()
    list(LENGTH _qm_faults count)
    message(FATAL_ERROR "${count} include(s) of ${QM_LIBRARY} reach past its links (the layers in the top CMakeLists.txt)")
endif()

# Runs at install time: writes the desktop entry naming the installed
# executable, whose place is known only then (`cmake --install --prefix`).
# Set before it: QM_DESKTOP_TEMPLATE, QM_BINDIR and QM_APPLICATIONS_DIR (each
# relative to the prefix, or absolute) and PROJECT_DESCRIPTION.

function(qm_installed_path out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

qm_installed_path(bindir "${QM_BINDIR}")
qm_installed_path(applications "${QM_APPLICATIONS_DIR}")
set(program "${bindir}/ppc-quillmark")

# A string value writes "\" as "\\"; Exec further quotes its program, with
# "\", '"', "`" and "$" escaped inside the quotes, and doubles "%".
string(REPLACE "\\" "\\\\" QM_TRY_EXEC "${program}")
string(REPLACE "\\" "\\\\" quoted "${program}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(QM_EXEC "\"${quoted}\"")

set(entry "$ENV{DESTDIR}${applications}/ppc-quillmark.desktop")
message(STATUS "Installing: ${entry}")
file(READ "${QM_DESKTOP_TEMPLATE}" template)
file(CONFIGURE OUTPUT "${entry}" CONTENT "${template}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")

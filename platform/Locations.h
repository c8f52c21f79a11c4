#pragma once

#include <QString>

// Where the program keeps its files. Every location can be redirected by an
// environment variable so that tests and portable installs never touch the
// user's real folders.
namespace platform::Locations {

// The program folder (the folder of Error.log, sendmail.log, the code files):
// $QUILLMARK_PROGRAM_DIR; else the executable's folder when it is writable
// and the program does not run from an installation (a build folder, a copy
// of its own); else "<XDG data home>/PPC Quillmark", so that an installed
// program writes nothing beside its executable. Created when missing.
QString programDir();

// The data folder of an installation, "<prefix>/share/ppc-quillmark", found
// from the executable's folder "<prefix>/bin" (the relative path is fixed
// when the project is configured); "" when it does not exist, as for a
// program run from its build folder.
QString installedDataDir();

// A file installed with the program, such as a code file: the copy in the
// program folder when there is one (the user's own, or the one where
// QUILLMARK_PROGRAM_DIR points), else the one in the executable's folder,
// where the build puts it, else the one in the installation's data folder;
// "" when none exists.
QString installedFile(const QString& name);

// The folder that holds the two emulated registry hives:
// $QUILLMARK_REGISTRY_DIR; else "$XDG_CONFIG_HOME/PPC Quillmark".
QString registryDir();

// The read-only system folder of the dealer file and the engine list:
// $QUILLMARK_WINDOWS_DIR; else /etc/ppc-quillmark.
QString windowsDir();
// windowsDir() with a trailing "/" (blanks at its end dropped), as the
// program joins file names to it; "" when there is none.
QString GetWindowsDir();

// Joins two path parts with exactly one "/" between them.
QString join(const QString& folder, const QString& name);

} // namespace platform::Locations

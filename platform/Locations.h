#pragma once

#include <QString>

// Where the program keeps its files. Every location can be redirected by an
// environment variable so that tests and portable installs never touch the
// user's real folders.
namespace platform::Locations {

// The program folder (the folder of Error.log, sendmail.log, the code files):
// $QUILLMARK_PROGRAM_DIR; else the executable's folder when it is writable;
// else "<XDG data home>/PPC Quillmark". Created when missing.
QString programDir();

// A file installed with the program, such as a code file: the copy in the
// program folder when there is one (the user's own, or the one where
// QUILLMARK_PROGRAM_DIR points), else the one in the executable's folder,
// where the build and an installation put it; "" when neither exists. So an
// installed program whose folder cannot be written (and whose program folder
// is therefore under the data home) still finds its files.
QString installedFile(const QString& name);

// The folder that holds the two emulated registry hives:
// $QUILLMARK_REGISTRY_DIR; else "$XDG_CONFIG_HOME/PPC Quillmark".
QString registryDir();

// The read-only system folder of the dealer file and the engine list:
// $QUILLMARK_WINDOWS_DIR; else /etc/ppc-quillmark.
QString windowsDir();

// Joins two path parts with exactly one "/" between them.
QString join(const QString& folder, const QString& name);

} // namespace platform::Locations

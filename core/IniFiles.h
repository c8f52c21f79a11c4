#pragma once

#include <QString>

// Profile (INI) files a value at a time, in platform/ProfileFile's format:
// the program reads the dealer file and the code files this way.
namespace IniFiles {

// The value of key in section of the profile file, blanks around it removed;
// "" when the file, the section or the key is missing or the value is empty.
// Values of any length come back whole.
QString ReadINI(const QString& file, const QString& section, const QString& key);

// Writes key=value into section of the profile file (see
// platform/ProfileFile.h); "1" on success, "0" on failure (for instance a
// missing folder). A line break inside the value is written as a blank.
// The reader's pair: the program's own files are written many values at once
// (platform::ProfileFile::Document, which changes lines as this does).
QString WriteINI(const QString& file, const QString& section, const QString& key, const QString& value);

} // namespace IniFiles

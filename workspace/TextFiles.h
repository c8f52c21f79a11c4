#pragma once

#include <QString>
#include <QStringList>

// Whole-file text reading and writing for the workspace's own data files
// (Accounts.dat, the keyword files, Campaign.dat).
namespace TextFiles {

// Reads the whole file as text (UTF-8 when valid, else Windows-1252). A
// missing file gives "" and true; a file that cannot be read gives false.
bool read(const QString& path, QString& text, QString* error = nullptr);

// Writes text followed by one CRLF, as every whole text is saved, atomically
// and as UTF-8.
bool saveText(const QString& path, const QString& text, QString* error = nullptr);

// Splits at CRLF, CR or LF, the way line input reads a file. A final line
// break does not start another line.
QStringList splitLines(const QString& text);

} // namespace TextFiles

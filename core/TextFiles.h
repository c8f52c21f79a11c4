#pragma once

#include "platform/AtomicFile.h"

#include <QString>
#include <QStringList>

// Whole-file text reading and writing: the program's data files (Accounts.dat,
// Account.vxp, the keyword files, Campaign.dat) and the text files the user
// opens. A failure is described as "Cannot read <path>: <reason>", "Cannot
// write <path>: <reason>" or "Cannot create the folder <path>: <reason>", so
// that the log and the user learn which file is at fault and why.
namespace TextFiles {

// The largest file read() takes: the 32-bit length the program's text files
// have always been limited to. A larger file is no text of this program, and
// reading it would take many times its size in memory.
inline constexpr qint64 kMaxBytes = 2147483647;

// Reads the whole file as text (UTF-8 when valid, else Windows-1252). A
// missing file gives "" and true; a file that cannot be read (one larger
// than kMaxBytes among them) gives false, and so does what is no regular file
// (a folder, a named pipe: platform/RegularFile), which is not opened.
bool read(const QString& path, QString& text, QString* error = nullptr);

// Writes text followed by one CRLF, as every whole text is saved, atomically
// and as UTF-8. An empty path writes nothing and succeeds.
bool saveText(const QString& path, const QString& text, QString* error = nullptr);
// The same, with the file error's number beside the failure text.
platform::SaveResult writeText(const QString& path, const QString& text);

// Creates the folder with its missing parents.
bool makeFolder(const QString& folder, QString* error = nullptr);

// The failure texts, for files read or written another way; a folder that
// stands where the file should be is named as the reason.
QString readError(const QString& path, const QString& reason);
QString writeError(const QString& path, const QString& reason);

// Splits at CRLF, CR or LF, the way line input reads a file. A final line
// break does not start another line.
QStringList splitLines(const QString& text);

} // namespace TextFiles

#pragma once

#include <QString>

class QFile;

// The files the program opens on the user's word - a landing page, a
// keyword file, a campaign's files, the code files - must be regular files,
// and that is checked before they are opened: opening a named pipe for
// reading waits until something writes to it (for good when nothing does),
// a device may never end, and a folder holds no text.
namespace platform {

// Why what stands at path is no regular file, as the reason a read of it
// fails: "it is a folder, not a file", "it is a named pipe, not a file",
// "it is a socket, not a file", "it is a device, not a file"; "" for a
// regular file (or a link to one) and where nothing stands.
QString notRegularFile(const QString& path);

// Opens file (its name set) for reading when it is a regular file. False,
// with the reason in error (notRegularFile's, else the system's), when it is
// not or cannot be opened.
bool openRegularFile(QFile& file, QString* error = nullptr);

} // namespace platform

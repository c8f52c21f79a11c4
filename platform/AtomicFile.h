#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Replaces a file in one step: the bytes go to a temporary file beside it,
// which takes the file's place only when every byte was written. A failed
// write leaves the old file as it was.
namespace platform {

struct SaveResult {
    bool ok = false;
    int error = 0;         // QFileDevice::FileError
    QString errorText;
};

// permissions: applied to the new file when given (0 keeps the default).
SaveResult saveAtomically(const QString& path, const QByteArray& bytes,
                          QFileDevice::Permissions permissions = {});

} // namespace platform

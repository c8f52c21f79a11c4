#include "platform/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

namespace platform {

SaveResult saveAtomically(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    SaveResult result;
    QSaveFile out(path);
    const auto fail = [&result, &out] {
        result.error = out.error() == QFileDevice::NoError ? int(QFileDevice::WriteError) : int(out.error());
        result.errorText = out.errorString();
        out.cancelWriting();
        return result;
    };
    if (!out.open(QIODevice::WriteOnly))
        return fail();
    if (permissions)
        out.setPermissions(permissions);
    // Every byte must reach the temporary file before it may replace the old
    // one; commit() alone does not report a failed final flush.
    if (out.write(bytes) != bytes.size() || !out.flush() || out.error() != QFileDevice::NoError)
        return fail();
    if (!out.commit()) {
        result.error = int(out.error());
        result.errorText = out.errorString();
        return result;
    }
    if (permissions)
        QFile::setPermissions(path, permissions);
    result.ok = true;
    return result;
}

} // namespace platform

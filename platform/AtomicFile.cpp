#include "platform/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

namespace platform {

namespace {

// A write that reaches the end of the disk stores what fits and reports
// that short count without a reason; the next one fails and gives it.
bool writeAll(QSaveFile& out, const QByteArray& bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

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
    if (!writeAll(out, bytes) || !out.flush() || out.error() != QFileDevice::NoError)
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

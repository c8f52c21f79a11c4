#include "generator/ImportFileSet.h"

#include <QFile>

#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace generator {

namespace {

QString writeError(const QSaveFile& file)
{
    return QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString());
}

} // namespace

ImportFile::ImportFile(const QString& path)
    : m_file(path)
    , m_rows(m_file, path)
{
    if (!m_file.open(QIODevice::WriteOnly)) {
        m_rows.fail(QStringLiteral("Cannot create %1: %2").arg(m_file.fileName(), m_file.errorString()));
        return;
    }
    m_sync = std::make_unique<BackgroundSync>(m_file.handle());
    m_rows.setWrittenHook([this](qint64 bytes) { m_sync->written(bytes); });
}

QString ImportFile::finish()
{
    QString error = m_rows.error();
    // The last bytes leave the device's own buffer only now: a failure here
    // is the file's failure too.
    if (error.isEmpty() && (!m_file.flush() || m_file.error() != QFileDevice::NoError))
        error = writeError(m_file);
    if (!error.isEmpty())
        m_file.cancelWriting();
    if (m_sync)
        m_sync->finish();
    m_complete = error.isEmpty();
    return error;
}

QString ImportFile::commit()
{
    // Waits until the file is on the disk.
    const int syncError = m_sync ? m_sync->wait() : 0;
    m_sync.reset();
    if (!m_complete)
        return QString();
    if (syncError != 0) {
        // The new bytes may not all be on the disk: the old file stays.
        m_complete = false;
        m_file.cancelWriting();
        return QStringLiteral("Cannot write %1: %2").arg(m_file.fileName(), qt_error_string(syncError));
    }
    m_complete = false;
    // The file replaced goes when its last descriptor closes, and freeing a
    // large file takes a while: one descriptor stays open across the
    // replacement and is closed on a thread of its own, which nothing waits
    // for.
    const int replaced = ::open(QFile::encodeName(m_file.fileName()).constData(), O_RDONLY | O_CLOEXEC);
    const bool committed = m_file.commit();
    if (replaced >= 0)
        std::thread([replaced] { ::close(replaced); }).detach();
    return committed ? QString() : writeError(m_file);
}

ImportFile& ImportFileSet::add(const QString& path)
{
    m_files.push_back(std::make_unique<ImportFile>(path));
    return *m_files.back();
}

QStringList ImportFileSet::commit()
{
    QStringList errors;
    for (const auto& file : m_files) {
        const QString error = file->commit();
        if (!error.isEmpty())
            errors << error;
    }
    return errors;
}

} // namespace generator

#include "platform/RegularFile.h"

#include <QFile>

#include <sys/stat.h>

namespace platform {

QString notRegularFile(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("it is a folder, not a file");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("it is a socket, not a file");
    return QStringLiteral("it is a device, not a file");
}

bool openRegularFile(QFile& file, QString* error)
{
    QString why = notRegularFile(file.fileName());
    if (why.isEmpty() && !file.open(QIODevice::ReadOnly))
        why = file.errorString();
    if (why.isEmpty())
        return true;
    if (error)
        *error = why;
    return false;
}

} // namespace platform

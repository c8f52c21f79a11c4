#include "core/TextFiles.h"

#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace TextFiles {

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// A folder where the file should be is named as such, in the words of
// platform/RegularFile: the system's own words for it say little.
QString fileReason(const QString& path, const QString& reason)
{
    const QString folder = QFileInfo(path).isDir() ? platform::notRegularFile(path) : QString();
    return folder.isEmpty() ? reason : folder;
}

// Why a folder cannot be made: the part of its path that stands as a file,
// else what the system says.
QString folderReason(const QString& folder, const std::error_code& code)
{
    QString part = QDir::cleanPath(folder);
    while (!QFileInfo::exists(part)) {
        const QString parent = QFileInfo(part).path();
        if (parent == part)
            break;
        part = parent;
    }
    if (QFileInfo::exists(part) && !QFileInfo(part).isDir())
        return QDir::toNativeSeparators(part) + QStringLiteral(" is a file, not a folder");
    return QString::fromLocal8Bit(code.message());
}

} // namespace

QString readError(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot read ") + QDir::toNativeSeparators(path) + QStringLiteral(": ")
        + fileReason(path, reason);
}

QString writeError(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write ") + QDir::toNativeSeparators(path) + QStringLiteral(": ")
        + fileReason(path, reason);
}

bool read(const QString& path, QString& text, QString* error)
{
    text.clear();
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    QString why;
    if (!platform::openRegularFile(file, &why))
        return fail(error, readError(path, why));
    if (file.size() > kMaxBytes)
        return fail(error, readError(path, QStringLiteral("it holds %1 bytes, more than the %2 a text file may hold")
                                               .arg(file.size())
                                               .arg(kMaxBytes)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(error, readError(path, file.errorString()));
    text = platform::CodePage::decode(bytes);
    return true;
}

platform::SaveResult writeText(const QString& path, const QString& text)
{
    if (path.isEmpty())
        return {true, 0, QString()};
    platform::SaveResult result =
        platform::saveAtomically(path, platform::CodePage::encode(text + QStringLiteral("\r\n")));
    if (!result.ok)
        result.errorText = writeError(path, result.errorText);
    return result;
}

bool saveText(const QString& path, const QString& text, QString* error)
{
    const platform::SaveResult result = writeText(path, text);
    return result.ok || fail(error, result.errorText);
}

bool makeFolder(const QString& folder, QString* error)
{
    if (QFileInfo(folder).isDir())
        return true;
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), code);
    if (!code)
        return true;
    return fail(error, QStringLiteral("Cannot create the folder ") + QDir::toNativeSeparators(folder)
                           + QStringLiteral(": ") + folderReason(folder, code));
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace TextFiles

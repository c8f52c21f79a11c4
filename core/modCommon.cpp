#include "core/modCommon.h"

#include "platform/Locations.h"

#include <QFile>

#include <memory>

namespace modCommon {

namespace {

struct ErrorLog {
    bool opened = false; // set before the open is tried, as a file number would be
    std::unique_ptr<QFile> file;
};

ErrorLog& errorLog()
{
    static ErrorLog log;
    return log;
}

// Blanks are spaces only, as the runtime's Trim understands them.
QString trimBlanks(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

void WriteErrorLog(const QString& message)
{
    ErrorLog& log = errorLog();
    if (!log.opened) {
        log.opened = true;
        auto file = std::make_unique<QFile>(
            platform::Locations::join(platform::Locations::programDir(), QStringLiteral("Error.log")));
        if (file->open(QIODevice::ReadWrite | QIODevice::Append))
            log.file = std::move(file);
    }
    if (!log.file)
        return;
    QByteArray record = message.toUtf8();
    record.append("\r\n");
    log.file->write(record);
    log.file->flush();
}

void CloseErrorLog()
{
    ErrorLog& log = errorLog();
    log.file.reset();
    log.opened = false;
}

QString FindSectionB(const QString& text, const QString& startTag, const QString& endTag)
{
    if (text.isEmpty())
        return QString();
    const qsizetype s = text.indexOf(startTag, 0, Qt::CaseInsensitive);
    if (s < 0)
        return QString();
    const qsizetype p = s + startTag.size();
    const qsizetype q = text.indexOf(endTag, p, Qt::CaseInsensitive);
    if (q >= 0)
        return trimBlanks(text.mid(p, q - p));
    return trimBlanks(text.mid(p));
}

QString RemoveSection(const QString& text, const QString& startTag, const QString& endTag)
{
    const qsizetype s = text.indexOf(startTag, 0, Qt::CaseInsensitive);
    if (s >= 0) {
        const qsizetype e = text.indexOf(endTag, s + 1, Qt::CaseInsensitive);
        if (e >= 0)
            return trimBlanks(text.left(s) + text.mid(e + endTag.size()));
    }
    return trimBlanks(text);
}

} // namespace modCommon

#include "preferences/SendMailLog.h"

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Version.h"
#include "platform/CodePage.h"
#include "platform/Locations.h"
#include "platform/LogLine.h"

#include <QFile>
#include <QFileInfo>

namespace SendMailLog {

namespace {

constexpr qint64 kTrimAbove = 32000;

QString write(const QString& entry)
{
    QFile file(path());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(platform::CodePage::encode(entry + QLatin1String("\r\n")));
    return entry;
}

} // namespace

QString path()
{
    return platform::Locations::join(platform::Locations::programDir(), QStringLiteral("sendmail.log"));
}

QString append(const QString& text)
{
    return write(platform::LogLine::oneLine(text));
}

QString appendLines(const QStringList& lines)
{
    return write(platform::LogLine::lines(lines));
}

void trim()
{
    const QFileInfo log(path());
    if (log.isFile() && log.size() > kTrimAbove)
        QFile::remove(log.filePath());
}

QStringList header(const QString& host)
{
    return {AppTitle() + QLatin1String(" Version ") + Version::text(), QLatin1String(" Time: ") + ErrorLog::NowText(),
            QString(36, QLatin1Char('-')), QLatin1String("SMTP Host: ") + host, QString()};
}

} // namespace SendMailLog

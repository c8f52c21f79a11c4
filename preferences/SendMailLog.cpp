#include "preferences/SendMailLog.h"

#include "core/Globals.h"
#include "core/Version.h"
#include "core/modCommon.h"
#include "platform/CodePage.h"
#include "platform/Locations.h"

#include <QFile>
#include <QFileInfo>

namespace SendMailLog {

namespace {
constexpr qint64 kTrimAbove = 32000;
}

QString path()
{
    return platform::Locations::join(platform::Locations::programDir(), QStringLiteral("sendmail.log"));
}

void append(const QString& text)
{
    QFile file(path());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(platform::CodePage::encode(text + QLatin1String("\r\n")));
}

void trim()
{
    const QFileInfo log(path());
    if (log.isFile() && log.size() > kTrimAbove)
        QFile::remove(log.filePath());
}

QString header(const QString& host)
{
    const QLatin1String crlf("\r\n");
    return AppTitle() + QLatin1String(" Version ") + Version::text() + crlf + QLatin1String(" Time: ")
        + modCommon::NowText() + crlf + QString(36, QLatin1Char('-')) + crlf + QLatin1String("SMTP Host: ") + host
        + crlf;
}

} // namespace SendMailLog

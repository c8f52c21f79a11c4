#include "platform/SmtpLogRedactor.h"

#include <QStringList>

namespace platform {

QString SmtpLogRedactor::command(const QString& line)
{
    if (m_hiding)
        return QLatin1String(kHidden);
    const QString trimmed = line.trimmed();
    if (trimmed.compare(QLatin1String("AUTH"), Qt::CaseInsensitive) != 0
        && !trimmed.startsWith(QLatin1String("AUTH "), Qt::CaseInsensitive))
        return line;
    m_hiding = true;
    // "AUTH mechanism [initial-response]"
    const QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() <= 2)
        return line;
    return words.at(0) + QLatin1Char(' ') + words.at(1) + QLatin1Char(' ') + QLatin1String(kHidden);
}

QString SmtpLogRedactor::reply(const QString& line)
{
    if (!m_hiding)
        return line;
    if (line.startsWith(QLatin1String("334")))
        return QLatin1String(kHidden);
    m_hiding = false;
    return line;
}

} // namespace platform

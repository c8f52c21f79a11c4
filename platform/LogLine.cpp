#include "platform/LogLine.h"

namespace platform::LogLine {

namespace {

// The escape for a character that breaks a line, or nothing.
QLatin1String escapeOf(QChar c)
{
    switch (c.unicode()) {
    case 0x0A: return QLatin1String("\\n");
    case 0x0D: return QLatin1String("\\r");
    case 0x0B: return QLatin1String("\\x0b");
    case 0x0C: return QLatin1String("\\x0c");
    case 0x1C: return QLatin1String("\\x1c");
    case 0x1D: return QLatin1String("\\x1d");
    case 0x1E: return QLatin1String("\\x1e");
    case 0x85: return QLatin1String("\\u0085");
    case 0x2028: return QLatin1String("\\u2028");
    case 0x2029: return QLatin1String("\\u2029");
    default: return QLatin1String();
    }
}

} // namespace

QString oneLine(const QString& text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QLatin1String escape = escapeOf(text.at(i));
        if (escape.isEmpty()) {
            if (!result.isNull())
                result.append(text.at(i));
            continue;
        }
        if (result.isNull()) {
            // Most texts hold no line break: they are returned as they are.
            result.reserve(text.size() + 8);
            result.append(QStringView(text).left(i));
        }
        result.append(escape);
    }
    return result.isNull() ? text : result;
}

QString lines(const QStringList& lines)
{
    QStringList written;
    written.reserve(lines.size());
    for (const QString& line : lines)
        written.append(oneLine(line));
    return written.join(QLatin1String("\r\n"));
}

} // namespace platform::LogLine

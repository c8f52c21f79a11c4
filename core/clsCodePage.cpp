#include "core/clsCodePage.h"

#include "core/ErrorLog.h"

namespace {

bool isAsciiLetterOrDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

QString fURLEncode(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == ' ') {
            out += QLatin1Char('+');
        } else if (isAsciiLetterOrDigit(c)) {
            out += QLatin1Char(c);
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(hex[b >> 4]);
            out += QLatin1Char(hex[b & 0xF]);
        }
    }
    return out;
}

} // namespace

QString clsCodePage::ConvertUnicodeToUTF8(const QString& text) const
{
    if (text.isEmpty()) {
        ErrorLog::WriteErrorLog(QStringLiteral("clsCodePage_ConvertUnicodeToUTF8: there is no text to convert"));
        return QString();
    }
    // toUtf8 joins a surrogate pair into one 4-byte sequence.
    return fURLEncode(text.toUtf8());
}

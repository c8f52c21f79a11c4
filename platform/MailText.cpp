#include "platform/MailText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform::MailText {

namespace {

// RFC 2047: an encoded word is at most 75 characters long.
constexpr qsizetype kMaxEncodedWord = 75;

bool isPrintableAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// Encoded words of at most kMaxEncodedWord characters, each holding whole
// characters, joined by folding whitespace.
QByteArray encodedWords(const QString& value, const QString& charset)
{
    const QByteArray prefix = "=?" + charset.toLatin1() + "?B?";
    const QByteArray suffix = "?=";
    // Base64 turns every 3 bytes into 4 characters.
    const qsizetype maxBytes = (kMaxEncodedWord - prefix.size() - suffix.size()) / 4 * 3;

    QByteArray result;
    QByteArray chunk;
    const auto flush = [&]() {
        if (chunk.isEmpty())
            return;
        if (!result.isEmpty())
            result += "\r\n ";
        result += prefix + chunk.toBase64() + suffix;
        chunk.clear();
    };
    for (qsizetype i = 0; i < value.size();) {
        const qsizetype length = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        const QByteArray bytes = encode(value.mid(i, length), charset).value_or(QByteArray("?"));
        if (chunk.size() + bytes.size() > maxBytes)
            flush();
        chunk += bytes;
        i += length;
    }
    flush();
    return result;
}

} // namespace

bool hasLineBreakOrNul(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull())
            return true;
    }
    return false;
}

std::optional<QByteArray> encode(const QString& text, const QString& charset)
{
    const QByteArray name = charset.trimmed().toLatin1();
    if (name.compare("us-ascii", Qt::CaseInsensitive) == 0) {
        if (!isAscii(text))
            return std::nullopt;
        return text.toLatin1();
    }
    QStringEncoder encoder(name.constData());
    QStringDecoder decoder(name.constData());
    if (!encoder.isValid() || !decoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    // A character the set lacks comes back as a substitute, so only a
    // faithful round trip counts.
    if (encoder.hasError() || QString(decoder.decode(bytes)) != text)
        return std::nullopt;
    return bytes;
}

QString charsetFor(const QStringList& texts, const QString& preferred)
{
    for (const QString& text : texts) {
        if (!encode(text, preferred))
            return QStringLiteral("utf-8");
    }
    return preferred;
}

QByteArray encodeHeaderValue(const QString& value, const QString& charset)
{
    if (isPrintableAscii(value))
        return value.toLatin1();
    return encodedWords(value, charset);
}

QByteArray displayName(const QString& name, const QString& charset)
{
    if (!isPrintableAscii(name))
        return encodedWords(name, charset);
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    for (const QChar c : name) {
        if (specials.contains(c)) {
            QString quoted = name;
            quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
            return '"' + quoted.toLatin1() + '"';
        }
    }
    return name.toLatin1();
}

QString toCrlf(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            result += QLatin1String("\r\n");
        } else if (c == QLatin1Char('\n')) {
            result += QLatin1String("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace platform::MailText

#include "workspace/landing/PageEncoding.h"

#include <QList>
#include <QStringConverter>
#include <QStringEncoder>

#include <memory>

namespace PageEncoding {

namespace {

// On the heap: an encoder of the system's conversion library keeps a pointer
// to its own state and must not be moved.
std::unique_ptr<QStringEncoder> encoderFor(const QString& charset, bool byteOrderMark)
{
    const QByteArray name = charset.isEmpty() ? QByteArray("UTF-8") : charset.toLatin1();
    const auto flags = byteOrderMark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default;
    if (const auto builtIn = QStringConverter::encodingForName(name.constData()))
        return std::make_unique<QStringEncoder>(*builtIn, flags);
    auto named = std::make_unique<QStringEncoder>(name.constData());
    if (named->isValid())
        return named;
    return std::make_unique<QStringEncoder>(QStringConverter::Utf8, flags);
}

// The text with each character the set cannot hold replaced by its
// character reference.
QString withReferences(const QString& html, const QString& charset)
{
    // One code point at a time; after a refusal the encoder starts afresh,
    // for its error stays set.
    std::unique_ptr<QStringEncoder> probe = encoderFor(charset, false);
    QString out;
    out.reserve(html.size());
    for (const char32_t codePoint : html.toUcs4()) {
        const QString character = QString::fromUcs4(&codePoint, 1);
        // The encoding happens when its result is taken.
        const QByteArray bytes = probe->encode(character);
        if (probe->hasError()) {
            probe = encoderFor(charset, false);
            out += QStringLiteral("&#") + QString::number(quint32(codePoint)) + QLatin1Char(';');
        } else {
            out += character;
        }
    }
    return out;
}

} // namespace

QByteArray encode(const QString& html, const QString& charset, bool byteOrderMark)
{
    const std::unique_ptr<QStringEncoder> encoder = encoderFor(charset, byteOrderMark);
    const QByteArray bytes = encoder->encode(html);
    if (!encoder->hasError())
        return bytes;
    // Some characters are not in the set. The references go into the text
    // before it is encoded, not into the bytes afterwards: a set with shift
    // states (ISO-2022-JP) must return to ASCII before a reference and shift
    // again after it, as its encoder does around any ASCII character.
    return encoderFor(charset, byteOrderMark)->encode(withReferences(html, charset));
}

bool startsWithByteOrderMark(const QByteArray& head)
{
    return head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
}

} // namespace PageEncoding

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

} // namespace

QByteArray encode(const QString& html, const QString& charset, bool byteOrderMark)
{
    const std::unique_ptr<QStringEncoder> encoder = encoderFor(charset, byteOrderMark);
    const QByteArray whole = encoder->encode(html);
    if (!encoder->hasError())
        return whole;

    // Some characters are not in the set: encode one code point at a time
    // and write those as character references.
    std::unique_ptr<QStringEncoder> single = encoderFor(charset, false);
    QByteArray out;
    out.reserve(whole.size());
    for (const char32_t codePoint : html.toUcs4()) {
        const QByteArray bytes = single->encode(QString::fromUcs4(&codePoint, 1));
        if (single->hasError()) {
            single = encoderFor(charset, false);
            out += "&#" + QByteArray::number(quint32(codePoint)) + ';';
        } else {
            out += bytes;
        }
    }
    return out;
}

bool startsWithByteOrderMark(const QByteArray& head)
{
    return head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
}

} // namespace PageEncoding

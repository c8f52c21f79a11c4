#include "platform/SmtpMime.h"

#include "platform/MailText.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUuid>

namespace platform::SmtpMime {

namespace {

// RFC 5322: a line holds at most 998 characters.
constexpr qsizetype kMaxLine = 998;
// Part headers and boundaries, per part.
constexpr qint64 kPartOverhead = 256;

QByteArray join(const QList<QByteArray>& items)
{
    QByteArray result;
    for (const QByteArray& item : items) {
        if (!result.isEmpty())
            result += ", ";
        result += item;
    }
    return result;
}

QList<QByteArray> addresses(const SmtpMessage& message, SmtpRecipientKind kind)
{
    QList<QByteArray> result;
    for (const SmtpRecipient& r : message.recipients) {
        if (r.kind == kind)
            result.append(r.address.toUtf8());
    }
    return result;
}

QByteArray messageId(const QString& fromAddr)
{
    QString domain = fromAddr.section(QLatin1Char('@'), 1);
    if (domain.isEmpty() || domain.contains(QLatin1Char('>')))
        domain = QStringLiteral("localhost");
    return '<' + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' + domain.toUtf8() + '>';
}

bool fitsSevenBit(const QByteArray& bytes)
{
    qsizetype lineLength = 0;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return false;
        if (c == '\n') {
            lineLength = 0;
        } else if (c != '\r' && ++lineLength > kMaxLine) {
            return false;
        }
    }
    return true;
}

void check(CURLcode code)
{
    if (code != CURLE_OK)
        throw std::runtime_error(curl_easy_strerror(code));
}

qint64 addTextPart(curl_mime* mime, const QString& text, const char* subtype, const QString& charset,
                   SmtpTransferEncoding encoding)
{
    const QByteArray bytes = MailText::encode(MailText::toCrlf(text), charset).value_or(QByteArray());
    const bool sevenBit = encoding == SmtpTransferEncoding::SevenBit && fitsSevenBit(bytes);
    curl_mimepart* part = curl_mime_addpart(mime);
    check(curl_mime_data(part, bytes.constData(), static_cast<size_t>(bytes.size())));
    const QByteArray type = QByteArray("text/") + subtype + "; charset=" + charset.toLatin1();
    check(curl_mime_type(part, type.constData()));
    check(curl_mime_encoder(part, sevenBit ? "7bit" : "quoted-printable"));
    return kPartOverhead + (sevenBit ? bytes.size() : bytes.size() * 3 / 2);
}

// filename="name" for a plain ASCII name, else the RFC 2231 form.
QByteArray fileNameParameter(const QString& fileName)
{
    bool plain = true;
    for (const QChar c : fileName)
        plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7F && c != QLatin1Char('"') && c != QLatin1Char('\\');
    if (plain)
        return "filename=\"" + fileName.toLatin1() + '"';
    return "filename*=utf-8''" + fileName.toUtf8().toPercentEncoding();
}

qint64 addFilePart(curl_mime* mime, const QString& path, const QString& contentId)
{
    curl_mimepart* part = curl_mime_addpart(mime);
    check(curl_mime_filedata(part, QFile::encodeName(path).constData()));
    // The disposition is written below, with a name that survives non-ASCII.
    check(curl_mime_filename(part, nullptr));
    static const QMimeDatabase types;
    const QByteArray type = types.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
    check(curl_mime_type(part, type.constData()));
    check(curl_mime_encoder(part, "base64"));
    Slist headers;
    const QByteArray name = fileNameParameter(QFileInfo(path).fileName());
    append(headers, (contentId.isEmpty() ? "Content-Disposition: attachment; " : "Content-Disposition: inline; ") + name);
    if (!contentId.isEmpty())
        append(headers, "Content-ID: <" + contentId.toLatin1() + '>');
    check(curl_mime_headers(part, headers.release(), 1));
    return kPartOverhead + QFileInfo(path).size() * 4 / 3 * 78 / 76;
}

// A part of parent holding a multipart of the given type; its parts go into
// the returned mime.
curl_mime* addMultipart(CURL* easy, curl_mime* parent, const char* type)
{
    Mime sub(curl_mime_init(easy));
    curl_mimepart* part = curl_mime_addpart(parent);
    check(curl_mime_subparts(part, sub.get()));
    curl_mime* owned = sub.release();  // the part owns it now
    check(curl_mime_type(part, type));
    return owned;
}

qint64 addHtmlBody(CURL* easy, curl_mime* parent, const SmtpMessage& message, const QString& charset)
{
    qint64 size = 0;
    curl_mime* related = message.inlineImages.isEmpty() ? parent : addMultipart(easy, parent, "multipart/related");
    if (message.altBodyText.isEmpty()) {
        size += addTextPart(related, message.bodyText, "html", charset, message.encoding);
    } else {
        curl_mime* alternative = addMultipart(easy, related, "multipart/alternative");
        size += addTextPart(alternative, message.altBodyText, "plain", charset, message.encoding);
        size += addTextPart(alternative, message.bodyText, "html", charset, message.encoding);
    }
    for (const SmtpInlineImage& image : message.inlineImages)
        size += addFilePart(related, image.path, image.contentId);
    return size;
}

} // namespace

void append(Slist& list, const QByteArray& line)
{
    curl_slist* grown = curl_slist_append(list.get(), line.constData());
    if (!grown)
        throw std::bad_alloc();
    (void)list.release();
    list.reset(grown);
}

QString charsetOf(const SmtpMessage& message)
{
    return MailText::charsetFor({message.subject, message.fromName, message.bodyText, message.altBodyText},
                                message.charset);
}

Slist headerLines(const SmtpMessage& message, const QString& charset)
{
    Slist lines;
    append(lines, "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1());
    const QByteArray from = message.fromAddr.toUtf8();
    append(lines, "From: "
                      + (message.fromName.isEmpty() ? from
                                                    : MailText::displayName(message.fromName, charset) + " <" + from + '>'));
    const QList<QByteArray> to = addresses(message, SmtpRecipientKind::To);
    if (!to.isEmpty())
        append(lines, "To: " + join(to));
    const QList<QByteArray> cc = addresses(message, SmtpRecipientKind::Cc);
    if (!cc.isEmpty())
        append(lines, "Cc: " + join(cc));
    append(lines, "Subject: " + MailText::encodeHeaderValue(message.subject, charset));
    if (!message.replyTo.isEmpty())
        append(lines, "Reply-To: " + message.replyTo.toUtf8());
    append(lines, "Message-ID: " + messageId(message.fromAddr));
    append(lines, "X-Priority: " + QByteArray::number(message.priority));
    if (!message.mailer.isEmpty())
        append(lines, "X-Mailer: " + MailText::encodeHeaderValue(message.mailer, charset));
    for (const auto& [name, value] : message.headers)
        append(lines, name.toLatin1() + ": " + MailText::encodeHeaderValue(value, charset));
    return lines;
}

Body build(CURL* easy, const SmtpMessage& message, const QString& charset)
{
    Body body;
    body.mime.reset(curl_mime_init(easy));
    curl_mime* top = body.mime.get();
    if (message.format == SmtpBodyFormat::Html)
        body.estimatedSize += addHtmlBody(easy, top, message, charset);
    else
        body.estimatedSize += addTextPart(top, message.bodyText, "plain", charset, message.encoding);
    for (const QString& path : message.attachments)
        body.estimatedSize += addFilePart(top, path, QString());
    return body;
}

} // namespace platform::SmtpMime

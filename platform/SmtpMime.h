#pragma once

#include "platform/SmtpMessage.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QList>

#include <memory>

// Turns an SmtpMessage into libcurl's message form: the header lines and the
// MIME tree (multipart/mixed holding the body, then the attachments; an HTML
// body with inline images is multipart/related, with a plain alternative
// multipart/alternative). Texts are sent with CRLF line ends in the message's
// character set (UTF-8 when the preferred one cannot hold them).
namespace platform::SmtpMime {

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistFree>;

struct MimeFree {
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using Mime = std::unique_ptr<curl_mime, MimeFree>;

// Appends a line to the list (created on first use).
void append(Slist& list, const QByteArray& line);

// The character set every text of the message is sent in.
QString charsetOf(const SmtpMessage& message);

// Date, From, To, Cc, Subject, Reply-To, Message-ID, X-Priority, X-Mailer
// and the extra headers; no Bcc line.
Slist headerLines(const SmtpMessage& message, const QString& charset);

struct Body {
    Mime mime;
    qint64 estimatedSize = 0;  // bytes on the wire, for progress
};

// The MIME tree for the easy handle that will send it.
Body build(CURL* easy, const SmtpMessage& message, const QString& charset);

} // namespace platform::SmtpMime

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Text rules of an Internet mail message: header values in 7-bit form,
// character sets and line ends. Shared by every SMTP client of the program.
namespace platform::MailText {

// True when the text holds a CR, an LF or a NUL: such a text in an address or
// a header value would end the line early and inject further lines, so every
// caller refuses it.
bool hasLineBreakOrNul(const QString& text);

// The text's bytes in the named character set ("iso-8859-1", "utf-8", "us-ascii"
// or another name the platform knows); nothing when the set cannot hold every
// character or is unknown.
std::optional<QByteArray> encode(const QString& text, const QString& charset);

// The preferred character set when it holds every one of the texts, else
// "utf-8".
QString charsetFor(const QStringList& texts, const QString& preferred);

// A header value: printable ASCII as it is; any other text as RFC 2047
// encoded words (Base64, at most 75 characters each, never splitting a
// character) in the charset, folded onto continuation lines ("\r\n ").
QByteArray encodeHeaderValue(const QString& value, const QString& charset);

// A display name for "name <address>": a plain phrase as it is, a name with
// one of the specials ()<>[]:;@\,." between double quotes (with \ and "
// escaped), a non-ASCII name as encoded words.
QByteArray displayName(const QString& name, const QString& charset);

// The text with every line end (CRLF, lone CR, lone LF) written as CRLF.
QString toCrlf(const QString& text);

} // namespace platform::MailText

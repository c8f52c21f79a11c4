#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Stateless functions for web texts: percent-encoding of form values, HTML
// character references, splitting of bracketed list replies and of
// "name: value" pairs, HTML-to-text conversion and URL cutting.
namespace modDSSock {

// Percent-encodes the 28 characters of the form table (a blank becomes
// "%20"); every other character, including those above code 127, is copied.
QString URLEncode(const QString& text);

// As URLEncode, but "!", "$", "%" and "^" are copied unchanged.
QString URLEncodeLite(const QString& text);

// Character references for a SOAP/XML body: "&", "<" and ">" are escaped,
// every character above 127 becomes "&#x" + its code point in upper-case
// hexadecimal + ";", characters that XML forbids are dropped.
QString HTMLEncode(const QString& text);

// A reply of the form [[a, b], [c, d]]: rows split at "], [", columns at ",".
// Every row has as many cells as the first row (missing cells empty); cells
// are untrimmed. Empty when the text is shorter than 2 characters or a row
// has more columns than the first.
QList<QStringList> ParseArrayString(const QString& text);

// The text after the first ":", trimmed, with every double quote removed;
// "" when the text holds no ":".
QString GetValueText(const QString& text);

// Field n (from 1) of text split at delimiter (case-insensitive search).
QString ParseString(const QString& text, const QString& delimiter, int n);

// Plain text of an HTML text: tags removed, paragraph and line tags turned
// into line breaks, lines left-trimmed, three entities replaced.
QString StripHTML(const QString& html);

// The address without scheme, query and a last path segment that holds a
// point, without a trailing "/".
QString GetBaseURL(const QString& url);

} // namespace modDSSock

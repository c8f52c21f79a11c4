#pragma once

#include <QByteArray>
#include <QString>

// Turns an edited page back into the bytes of its file.
namespace PageEncoding {

// The page in the character set it was read in (the browser's name for it,
// such as "UTF-8" or "windows-1252"), so its bytes keep matching its own
// charset declaration. Characters that set cannot hold are written as HTML
// character references ("&#8594;"). An unknown or empty name gives UTF-8.
// byteOrderMark: the file began with one, so the new one does too (Unicode
// sets only).
QByteArray encode(const QString& html, const QString& charset, bool byteOrderMark);

// True when the bytes begin with a UTF-8 or UTF-16 byte-order mark (the
// browser reads no UTF-32).
bool startsWithByteOrderMark(const QByteArray& head);

} // namespace PageEncoding

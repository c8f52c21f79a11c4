#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The program's one "ANSI code page". Text is written as UTF-8; bytes are
// read as UTF-8 when they form valid UTF-8, else as Windows-1252, so files
// made by the older Windows program still read correctly. A file that starts
// with a UTF-16 byte-order mark (a Windows editor's "Unicode") is read as
// UTF-16 in that order.
namespace platform::CodePage {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(QByteArrayView bytes);

// Where the bytes stand: at the start of a file, whose one leading UTF-8
// byte-order mark is no text, or further on, where a mark is text.
enum class Position { FileStart, WithinFile };

// Bytes -> text. At the start of a file a UTF-16 mark selects UTF-16 (an odd
// last byte becomes U+FFFD); otherwise UTF-8 when valid (at the start of a
// file one leading UTF-8 mark is dropped), else Windows-1252.
QString decode(QByteArrayView bytes, Position position = Position::FileStart);

// Text -> bytes: UTF-8.
QByteArray encode(const QString& text);

// Windows-1252 bytes -> text (bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D, which the
// code page leaves undefined, map to the control characters of the same code).
QString fromWindows1252(QByteArrayView bytes);

} // namespace platform::CodePage

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

// Where the bytes stand: at the start of a file, whose one leading
// byte-order mark is no text, or further on, where a mark is text.
enum class Position { FileStart, WithinFile };

// What a file's bytes are read as. Utf8 reads bytes that are not valid UTF-8
// as Windows-1252: a line of a big file whose encoding was decided from its
// first part alone.
enum class Encoding { Utf8, Windows1252, Utf16LE, Utf16BE };

// The encoding of a file whose bytes (or the first part that stands for it)
// are fileBytes: a leading UTF-16 mark selects UTF-16 in that order; else
// UTF-8 when the bytes are valid UTF-8, else Windows-1252.
Encoding encodingOf(QByteArrayView fileBytes);

// Bytes -> text, all of a file or a part of it, in the file's encoding. At
// the start of a file the one mark of its encoding is dropped (UTF-16: the
// mark that selected it; UTF-8: one leading UTF-8 mark); every other mark is
// text. In UTF-16 an odd last byte becomes U+FFFD.
QString decode(QByteArrayView bytes, Encoding encoding, Position position);

// Bytes -> text in the encoding they show: at the start of a file
// encodingOf's; further on UTF-8 when valid, else Windows-1252 (a UTF-16
// mark there is 8-bit text).
QString decode(QByteArrayView bytes, Position position = Position::FileStart);

// Text -> bytes: UTF-8.
QByteArray encode(const QString& text);

// Windows-1252 bytes -> text (bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D, which the
// code page leaves undefined, map to the control characters of the same code).
QString fromWindows1252(QByteArrayView bytes);

} // namespace platform::CodePage

#pragma once

#include <QString>

// Text conversions for web requests.
class clsCodePage
{
public:
    // The URL-encoded form of the text's UTF-8 bytes: a blank becomes "+",
    // ASCII letters and digits stand for themselves, every other byte is
    // "%" and two upper-case hexadecimal digits (a hyphen is "%2D"). A
    // character beyond U+FFFF is one 4-byte sequence. An empty text gives ""
    // and one log line.
    QString ConvertUnicodeToUTF8(const QString& text) const;
};

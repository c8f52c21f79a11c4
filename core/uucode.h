#pragma once

#include <QString>

// The uuencode character mapping without length characters or line
// structure: every 3 bytes become 4 characters in the range " " to "_".
// Texts are taken as bytes in the program's code page (UTF-8).
namespace uucode {

// Pads the bytes with blanks to a multiple of 3 and maps them; "" for "".
QString Encode(const QString& text);

// Maps every 4 characters back to 3 bytes (an incomplete last group counts
// its missing characters as 0 - 32 cut to a byte) and trims blanks at both
// ends, so Decode(Encode(t)) == t for a text without blanks at its ends.
QString Decode(const QString& text);

} // namespace uucode

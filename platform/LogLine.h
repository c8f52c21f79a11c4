#pragma once

#include <QString>
#include <QStringList>

// The program's logs (Error.log, sendmail.log) hold one record a line. A
// text from the user, a file or a server may hold line breaks of its own,
// which would start lines that read like records of the program; every log
// writer therefore passes what it writes through here.
namespace platform::LogLine {

// The text on one line: a CR is written as the two characters "\r", an LF
// as "\n" (so CRLF as "\r\n"), and the other characters that text viewers
// break lines at as "\x0b" (VT), "\x0c" (FF), "\x1c".."\x1e", "\u0085",
// "\u2028" and "\u2029". Every other character, a backslash too, stays.
QString oneLine(const QString& text);

// A record that spans several lines on purpose: each line on one line
// (oneLine), joined by CRLF.
QString lines(const QStringList& lines);

} // namespace platform::LogLine

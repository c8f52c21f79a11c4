#pragma once

#include <QString>
#include <QStringList>

// The mail log sendmail.log in the program folder: plain text in the
// program's code page, one CRLF after every entry, appended entry by entry.
namespace SendMailLog {

QString path();

// Appends the text & CRLF on one line: a line break in the text is written
// as an escape (see platform::LogLine), so that no text from the user or a
// server can add lines of its own. Returns the entry as written (without
// its CRLF). A failing write loses that entry only and is not reported.
QString append(const QString& text);
// The same for an entry that spans several lines on purpose: the lines are
// joined by CRLF, each kept to its line.
QString appendLines(const QStringList& lines);

// Deletes a log longer than 32000 bytes (as the test-mail window opens).
void trim();

// The entry that starts a test run, line by line: product and version,
// time, 36 dashes, the SMTP host, and an empty line.
QStringList header(const QString& host);

} // namespace SendMailLog

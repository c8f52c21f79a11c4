#pragma once

#include <QString>

// The mail log sendmail.log in the program folder: plain text in the
// program's code page, one CRLF after every entry, appended entry by entry.
namespace SendMailLog {

QString path();

// Appends text & CRLF. A failing write loses that entry only and is not
// reported.
void append(const QString& text);

// Deletes a log longer than 32000 bytes (as the test-mail window opens).
void trim();

// The entry that starts a test run: product and version, time, 36 dashes,
// the SMTP host, each line ended by CRLF.
QString header(const QString& host);

} // namespace SendMailLog

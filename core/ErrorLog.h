#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

// Error.log, the one log of the whole program: every handled error and a few
// trace lines.
namespace ErrorLog {

// Appends message & CRLF to Error.log in the program folder, on one line: a
// line break inside the message is written as an escape (see
// platform::LogLine), so that no text from the user, a file or a server can
// forge a record. The file is opened on the first call and stays open for
// the run; every record is flushed at once so a crash loses no line. A run
// whose first open failed writes nothing. Any thread may write: each record
// is appended whole. Never fails to its caller.
void WriteErrorLog(const QString& message);
// One record that spans several lines on purpose: the lines joined by CRLF,
// each kept to its line as WriteErrorLog keeps a message.
void WriteErrorLogLines(const QStringList& lines);

// Closes the log so that the next WriteErrorLog opens it again (used when the
// program folder changes, e.g. between tests).
void CloseErrorLog();

// Start-up settles where the log goes and rotates it before the run's first
// record: between HoldErrorLog and ReleaseErrorLog records wait in memory.
// ReleaseErrorLog writes first (the start header, a record of several lines
// as WriteErrorLogLines writes it), then the held records in order, and lets
// later records go straight to the file.
void HoldErrorLog();
void ReleaseErrorLog(const QStringList& first);

// A date and time as the log lines write them: the user's regional order,
// with a four-digit year and the seconds.
QString DateTimeText(const QDateTime& when, const QLocale& locale = QLocale::system());
// DateTimeText of the current date and time.
QString NowText();

} // namespace ErrorLog

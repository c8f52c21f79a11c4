#pragma once

#include <QString>

// Shared procedures used across the program: the error log and the text
// section functions. Further services of this module live beside them.
namespace modCommon {

// Appends message & CRLF to Error.log in the program folder. The file is
// opened on the first call and stays open for the run; every record is
// flushed at once so a crash loses no line. Never fails to its caller.
void WriteErrorLog(const QString& message);

// Closes the log so that the next WriteErrorLog opens it again (used when the
// program folder changes, e.g. between tests).
void CloseErrorLog();

// The trimmed text after the first startTag (case-insensitive) up to the next
// endTag, or to the end of the text when no endTag follows; "" when the text
// holds no startTag.
QString FindSectionB(const QString& text, const QString& startTag, const QString& endTag);

// The text with its first startTag..endTag span removed, trimmed at both ends.
QString RemoveSection(const QString& text, const QString& startTag, const QString& endTag);

} // namespace modCommon

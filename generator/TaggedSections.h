#pragma once

#include <QString>

// The spans of a text between a start tag and an end tag, as a keyword line
// marks its alternative: "cheap red shoes [red shoes]". Tags are found
// without regard to case; only the first span counts.
namespace TaggedSections {

// The trimmed text after the first startTag up to the next endTag, or to the
// end of the text when no endTag follows; "" when the text holds no startTag.
QString FindSectionB(const QString& text, const QString& startTag, const QString& endTag);

// The text with its first startTag..endTag span removed, trimmed at both ends.
QString RemoveSection(const QString& text, const QString& startTag, const QString& endTag);

} // namespace TaggedSections

#pragma once

#include <QString>

// Text and number conversions made the way the runtime makes them: blanks
// trimmed, numbers read out of a text.
namespace Conversions {

// The text without leading and trailing blanks (spaces only, as the
// runtime's Trim: tabs and line breaks stay).
QString Trim(const QString& text);

// The value of the decimal number at the start of the text, as the runtime's
// Val reads it: blanks anywhere are skipped, an empty or non-numeric text
// gives 0.
double Val(const QString& text);

// True, with its value, when the text is a number as a whole (blanks around it
// allowed), as the runtime's IsNumeric reads it: in the C locale or the
// user's.
bool IsNumeric(const QString& text, double& value);

} // namespace Conversions

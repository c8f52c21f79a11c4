#pragma once

#include <QString>

#include <optional>

// How the preferences dialog reads its text boxes.
namespace PreferenceInput {

// True for a port as the settings take it: a whole number from 1 to 65535,
// blanks around it allowed.
bool isPort(const QString& text);

// The proxy host of the host box: the text from its eighth character on when
// it holds "http://" (exact case), else the text as typed.
QString proxyHost(const QString& text);

// The port "Test SMTP server" uses: the number at the start of the text,
// rounded to a whole number (0 when the text is empty or no number); nullopt
// when that number cannot be a port (below 0 or above 65535).
std::optional<int> testMailPort(const QString& text);

} // namespace PreferenceInput

#pragma once

#include <QStringView>

// Blanks as the settings files know them: spaces and tabs, never line breaks.
namespace platform {

inline bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The text without the blanks at both ends.
inline QStringView trimmedBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s.at(b)))
        ++b;
    while (e > b && isBlank(s.at(e - 1)))
        --e;
    return s.sliced(b, e - b);
}

} // namespace platform

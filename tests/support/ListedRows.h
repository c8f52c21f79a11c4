#pragma once

#include <QList>
#include <QStringList>

// Rows of a generated-files list as "a|b|c" texts, one per listed row, so
// that a table of cases can spell out what a list shows.
inline QStringList joined(const QList<QStringList>& rows)
{
    QStringList out;
    for (const QStringList& r : rows)
        out << r.join(QLatin1Char('|'));
    return out;
}

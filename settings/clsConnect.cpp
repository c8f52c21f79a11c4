#include "settings/clsConnect.h"

namespace {

QString trimBlanks(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

clsConnect::clsConnect() = default;
clsConnect::~clsConnect() = default;

QString clsConnect::FindSection(QString& text, const QString& startMarker, const QString& endMarker, bool cut)
{
    if (text.isEmpty())
        return QString();
    const qsizetype p = text.indexOf(startMarker, 0, Qt::CaseInsensitive);
    if (p < 0)
        return QString();
    const qsizetype q = text.indexOf(endMarker, p + startMarker.size(), Qt::CaseInsensitive);
    if (q < 0) {
        text = text.mid(p + 1);
        return QString();
    }
    const QString result = trimBlanks(text.mid(p, q - p));
    if (cut)
        text = text.mid(q + endMarker.size());
    return result;
}

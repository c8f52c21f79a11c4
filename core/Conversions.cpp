#include "core/Conversions.h"

#include <QLocale>

namespace Conversions {

QString Trim(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' '))
        --e;
    if (b == 0 && e == text.size())
        return text;
    return text.mid(b, e - b);
}

double Val(const QString& text)
{
    QString s;
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            s += c;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto digit = [&](qsizetype k) { return k < n && s.at(k) >= QLatin1Char('0') && s.at(k) <= QLatin1Char('9'); };
    if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
        ++i;
    bool any = false;
    while (digit(i)) { ++i; any = true; }
    if (i < n && s.at(i) == QLatin1Char('.')) {
        ++i;
        while (digit(i)) { ++i; any = true; }
    }
    if (!any)
        return 0;
    qsizetype end = i;
    if (i < n && (s.at(i).toUpper() == QLatin1Char('E') || s.at(i).toUpper() == QLatin1Char('D'))) {
        qsizetype k = i + 1;
        if (k < n && (s.at(k) == QLatin1Char('+') || s.at(k) == QLatin1Char('-')))
            ++k;
        if (digit(k)) {
            while (digit(k))
                ++k;
            end = k;
        }
    }
    QString number = s.left(end);
    if (end > i)
        number[i] = QLatin1Char('e');
    return QLocale::c().toDouble(number);
}

bool IsNumeric(const QString& text, double& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    if (!ok)
        value = QLocale::system().toDouble(t, &ok);
    return ok;
}

} // namespace Conversions

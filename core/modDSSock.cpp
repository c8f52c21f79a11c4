#include "core/modDSSock.h"

#include "core/modCommon.h"

#include <cstring>

namespace modDSSock {

namespace {

QString percentEncode(const QString& text, const char* table)
{
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 128 && u != 0 && std::strchr(table, char(u)) != nullptr) {
            out += QLatin1Char('%');
            out += QString::number(u, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

const char kFullTable[] = "~!#$%^&()+`={}|[]\\:'\";<>?,/ ";
const char kLiteTable[] = "~#&()+`={}|[]\\:'\";<>?,/ ";

bool xmlAllowed(char32_t cp)
{
    if (cp == 0x9 || cp == 0xA || cp == 0xD)
        return true;
    if (cp < 0x20)
        return false;
    if (cp >= 0xD800 && cp <= 0xDFFF)
        return false;
    if (cp == 0xFFFE || cp == 0xFFFF)
        return false;
    return cp <= 0x10FFFF;
}

} // namespace

QString URLEncode(const QString& text)
{
    return percentEncode(text, kFullTable);
}

QString URLEncodeLite(const QString& text)
{
    return percentEncode(text, kLiteTable);
}

QString HTMLEncode(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t cp = text.at(i).unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (!xmlAllowed(cp))
            continue;
        if (cp == U'&')
            out += QStringLiteral("&amp;");
        else if (cp == U'<')
            out += QStringLiteral("&lt;");
        else if (cp == U'>')
            out += QStringLiteral("&gt;");
        else if (cp < 128)
            out += QChar(char16_t(cp));
        else
            out += QStringLiteral("&#x") + QString::number(quint32(cp), 16).toUpper() + QLatin1Char(';');
    }
    return out;
}

QList<QStringList> ParseArrayString(const QString& text)
{
    if (text.size() < 4)
        return {};
    const QString inner = text.mid(2, text.size() - 4);
    if (inner.isEmpty())
        return {};
    const QStringList rows = inner.split(QStringLiteral("], ["), Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (rows.isEmpty())
        return {};
    const qsizetype columns = rows.first().split(QLatin1Char(',')).size();
    QList<QStringList> result;
    result.reserve(rows.size());
    for (const QString& row : rows) {
        QStringList cells = row.split(QLatin1Char(','));
        if (cells.size() > columns)
            return {};
        while (cells.size() < columns)
            cells.append(QString());
        result.append(cells);
    }
    return result;
}

QString GetValueText(const QString& text)
{
    const qsizetype p = text.indexOf(QLatin1Char(':'));
    if (p < 0)
        return QString();
    QString value = modCommon::Trim(text.mid(p + 1));
    value.remove(QLatin1Char('"'));
    return value;
}

QString ParseString(const QString& text, const QString& delimiter, int n)
{
    if (delimiter.isEmpty())
        return n <= 1 ? text : QString();
    QString rest = text;
    for (int i = 1; i < n; ++i) {
        const qsizetype p = rest.indexOf(delimiter, 0, Qt::CaseInsensitive);
        if (p < 0)
            return QString();
        rest = rest.mid(p + 1);
    }
    const qsizetype q = rest.indexOf(delimiter, 0, Qt::CaseInsensitive);
    return q < 0 ? rest : rest.left(q);
}

QString StripHTML(const QString& html)
{
    static const QString crlf = QStringLiteral("\r\n");
    QString rest = html;
    QString out;
    for (;;) {
        const qsizetype lt = rest.indexOf(QLatin1Char('<'));
        if (lt < 0)
            break;
        out += rest.left(lt);
        rest = rest.mid(lt + 1);
        const qsizetype gt = rest.indexOf(QLatin1Char('>'));
        if (gt < 0)
            break;
        const QString tag = ParseString(rest.left(gt).toUpper(), QStringLiteral(" "), 1);
        if (tag == QLatin1String("P") || tag == QLatin1String("/H1") || tag == QLatin1String("/H2")
            || tag == QLatin1String("/H3") || tag == QLatin1String("/H4") || tag == QLatin1String("/H5")
            || tag == QLatin1String("DL"))
            out += crlf + crlf;
        else if (tag == QLatin1String("BR"))
            out += crlf;
        else if (tag == QLatin1String("HR"))
            out += crlf + QString(50, QLatin1Char('-')) + crlf;
        rest = rest.mid(gt + 1);
    }
    out += rest;

    // A character that the text does not hold marks the line ends.
    QChar marker(char16_t(0));
    for (int code = 255; code >= 1; --code) {
        if (!out.contains(QChar(char16_t(code)))) {
            marker = QChar(char16_t(code));
            break;
        }
    }
    out.remove(QLatin1Char('\r'));
    out.replace(QLatin1Char('\n'), marker);

    const QStringList lines = out.split(marker);
    QString text = lines.first();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        qsizetype b = 0;
        while (b < line.size() && line.at(b) == QLatin1Char(' '))
            ++b;
        text += crlf + line.mid(b);
    }
    if (lines.size() > 1) {
        qsizetype e = text.size();
        while (e > 0 && text.at(e - 1) == QLatin1Char(' '))
            --e;
        text.truncate(e);
    }

    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
    text.remove(QStringLiteral("&nbsp;"), Qt::CaseInsensitive);
    return text;
}

QString GetBaseURL(const QString& url)
{
    QString rest = url;
    const qsizetype q = rest.indexOf(QLatin1Char('?'));
    if (q >= 0)
        rest.truncate(q);
    QString result;
    const qsizetype s = rest.indexOf(QStringLiteral("//"));
    if (s >= 0) {
        rest = rest.mid(s + 2);
        // The host always belongs to the base, also when no "/" follows it.
        const qsizetype h = rest.indexOf(QLatin1Char('/'));
        result = h < 0 ? rest + QLatin1Char('/') : rest.left(h + 1);
        rest = h < 0 ? QString() : rest.mid(h + 1);
    }
    // With a query the last segment names a page, never a folder.
    if (q >= 0)
        rest += QLatin1Char('.');
    for (qsizetype p = rest.indexOf(QLatin1Char('/')); p >= 0; p = rest.indexOf(QLatin1Char('/'))) {
        result += rest.left(p + 1);
        rest = rest.mid(p + 1);
    }
    if (!rest.contains(QLatin1Char('.')))
        result += rest;
    if (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

} // namespace modDSSock

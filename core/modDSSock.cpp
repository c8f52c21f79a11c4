#include "core/modDSSock.h"

#include "core/Conversions.h"

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
    QString value = Conversions::Trim(text.mid(p + 1));
    value.remove(QLatin1Char('"'));
    return value;
}

QString ParseString(const QString& text, const QString& delimiter, int n)
{
    if (delimiter.isEmpty())
        return n <= 1 ? text : QString();
    qsizetype from = 0;
    for (int i = 1; i < n; ++i) {
        const qsizetype p = text.indexOf(delimiter, from, Qt::CaseInsensitive);
        if (p < 0)
            return QString();
        from = p + 1; // past the delimiter's first character only
    }
    const qsizetype q = text.indexOf(delimiter, from, Qt::CaseInsensitive);
    return text.mid(from, q < 0 ? -1 : q - from);
}

QString StripHTML(const QString& html)
{
    static const QString crlf = QStringLiteral("\r\n");
    const QStringView all(html);
    QString out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lt = all.indexOf(QLatin1Char('<'), pos);
        if (lt < 0)
            break;
        out += all.mid(pos, lt - pos);
        pos = lt + 1;
        const qsizetype gt = all.indexOf(QLatin1Char('>'), pos);
        if (gt < 0)
            break; // the "<" is dropped, the text after it kept
        const QString tag = ParseString(all.mid(pos, gt - pos).toString().toUpper(), QStringLiteral(" "), 1);
        if (tag == QLatin1String("P") || tag == QLatin1String("/H1") || tag == QLatin1String("/H2")
            || tag == QLatin1String("/H3") || tag == QLatin1String("/H4") || tag == QLatin1String("/H5")
            || tag == QLatin1String("DL"))
            out += crlf + crlf;
        else if (tag == QLatin1String("BR"))
            out += crlf;
        else if (tag == QLatin1String("HR"))
            out += crlf + QString(50, QLatin1Char('-')) + crlf;
        pos = gt + 1;
    }
    out += all.mid(pos);

    // Lines end at LF; CRs are dropped, every line after a break loses its
    // leading blanks, and a text with a break loses its trailing blanks.
    QString text;
    text.reserve(out.size());
    bool broken = false;
    bool lineStart = false;
    for (const QChar c : std::as_const(out)) {
        if (c == QLatin1Char('\r'))
            continue;
        if (c == QLatin1Char('\n')) {
            text += crlf;
            broken = lineStart = true;
        } else if (!(lineStart && c == QLatin1Char(' '))) {
            text += c;
            lineStart = false;
        }
    }
    if (broken) {
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
    const qsizetype q = url.indexOf(QLatin1Char('?'));
    QStringView rest = QStringView(url).left(q < 0 ? url.size() : q);
    QString result;
    const qsizetype s = rest.indexOf(QStringLiteral("//"));
    if (s >= 0) {
        rest = rest.mid(s + 2);
        // The host always belongs to the base, also when no "/" follows it.
        const qsizetype h = rest.indexOf(QLatin1Char('/'));
        result = h < 0 ? rest.toString() + QLatin1Char('/') : rest.left(h + 1).toString();
        rest = h < 0 ? QStringView() : rest.mid(h + 1);
    }
    const qsizetype lastSlash = rest.lastIndexOf(QLatin1Char('/'));
    result += rest.left(lastSlash + 1);
    // The last segment is a folder unless it holds a point; with a query it
    // names a page, never a folder.
    const QStringView last = rest.mid(lastSlash + 1);
    if (q < 0 && !last.contains(QLatin1Char('.')))
        result += last;
    if (result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

} // namespace modDSSock

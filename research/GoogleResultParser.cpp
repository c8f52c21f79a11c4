#include "research/GoogleResultParser.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"

#include <QDomDocument>
#include <QRandomGenerator>
#include <QXmlStreamReader>

#include <cmath>

RandomFraction programRandom()
{
    return [] { return QRandomGenerator::global()->generateDouble(); };
}

namespace GoogleResultParser {

namespace {

const QString kLogPrefix = QStringLiteral("clsKeywordBuilder_GetResultGoogle: ");

// A reply of the service nests some ten elements deep. The DOM reader takes
// time that grows with the square of the depth, so a far deeper reply is not
// handed to it.
constexpr qint64 kMaxDepth = 100;

bool nestedTooDeep(const QString& data)
{
    QXmlStreamReader reader(data);
    qint64 depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxDepth)
            return true;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return false;
}

// The elements named name below node, or those named "ns2:" & name when there are none.
QDomNodeList elements(const QDomDocument& document, const QString& name)
{
    QDomNodeList found = document.elementsByTagName(name);
    return found.isEmpty() ? document.elementsByTagName(QStringLiteral("ns2:") + name) : found;
}

QDomNodeList elements(const QDomElement& element, const QString& name)
{
    QDomNodeList found = element.elementsByTagName(name);
    return found.isEmpty() ? element.elementsByTagName(QStringLiteral("ns2:") + name) : found;
}

// The text of the second child of the data item's second child (its inner
// value), or "" when the item does not have that shape.
QString innerValue(const QDomNode& dataItem)
{
    const QDomNodeList children = dataItem.childNodes();
    if (children.size() < 2)
        return QString();
    const QDomNodeList valueChildren = children.at(1).childNodes();
    return valueChildren.size() < 2 ? QString() : valueChildren.at(1).toElement().text();
}

} // namespace

QString competitionLabel(double c)
{
    if (c <= 0)
        return QStringLiteral("High");
    if (c <= 0.3333)
        return QStringLiteral("Low");
    if (c <= 0.6667)
        return QStringLiteral("Medium");
    return QStringLiteral("High");
}

QString keiText(double c, double s, double r)
{
    if (!(c > 0 && s > 0))
        return QStringLiteral("-");
    // Counted in ten-thousandths straight away, so that a half is a half;
    // nearbyint rounds half to even in the default rounding mode.
    const double tenThousandths = std::nearbyint((1.0 + r) * s / (c * 10.0));
    QString text = QString::number(tenThousandths / 10000.0, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

KeywordIdeas GetResultGoogle(const QString& data, const RandomFraction& random)
{
    KeywordIdeas ideas;
    if (nestedTooDeep(data)) {
        ErrorLog::WriteErrorLog(kLogPrefix
                                + QStringLiteral("the reply is nested more than %1 elements deep").arg(kMaxDepth));
        return ideas;
    }
    QDomDocument document;
    QString error;
    int errorLine = 0;
    if (!document.setContent(data, false, &error, &errorLine)) {
        ErrorLog::WriteErrorLog(kLogPrefix + QStringLiteral("the reply is not XML: ") + error
                                + QStringLiteral(" (line ") + QString::number(errorLine) + QLatin1Char(')'));
        return ideas;
    }
    if (elements(document, QStringLiteral("rval")).isEmpty()) {
        ErrorLog::WriteErrorLog(kLogPrefix + QStringLiteral("the reply holds no result (rval)"));
        return ideas;
    }

    const QDomNodeList entries = elements(document, QStringLiteral("entries"));
    for (int n = 0; n < entries.size(); ++n) {
        const QDomNodeList items = elements(entries.at(n).toElement(), QStringLiteral("data"));
        if (items.size() < 3) {
            ErrorLog::WriteErrorLog(kLogPrefix + QStringLiteral("entry ") + QString::number(n + 1)
                                    + QStringLiteral(" skipped: fewer than 3 data items"));
            continue;
        }
        const QDomNodeList values = elements(items.at(0).toElement(), QStringLiteral("value"));
        const QString keyword = values.size() < 2 ? QString() : values.at(1).toElement().text();
        if (keyword.isEmpty()) {
            ErrorLog::WriteErrorLog(kLogPrefix + QStringLiteral("entry ") + QString::number(n + 1)
                                    + QStringLiteral(" skipped: no keyword value"));
            continue;
        }
        const QString competition = innerValue(items.at(1));
        const QString volume = innerValue(items.at(2));

        clsKWBuilder idea;
        idea.Keyword = keyword;
        idea.Competition = competition.isEmpty() ? QString() : competitionLabel(Conversions::Val(competition));
        idea.Search = volume;
        idea.GlobalSearch = volume.isEmpty() ? QStringLiteral("Not Enough Data") : volume;
        const double c = Conversions::Val(competition);
        const double s = Conversions::Val(volume);
        idea.KEI = c > 0 && s > 0 ? keiText(c, s, random()) : QStringLiteral("-");
        ideas.append(idea);
    }
    return ideas;
}

} // namespace GoogleResultParser

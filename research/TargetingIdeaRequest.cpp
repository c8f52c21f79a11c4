#include "research/TargetingIdeaRequest.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "core/IniFiles.h"
#include "platform/Prompter.h"
#include "research/CodeFiles.h"

#include <QRegularExpression>

namespace TargetingIdeaRequest {

namespace {

const QString kCrlf = QStringLiteral("\r\n");
const QString kNamespaceO = QStringLiteral("https://adwords.google.com/api/adwords/o/v201809");
const QString kNamespaceCm = QStringLiteral("https://adwords.google.com/api/adwords/cm/v201809");
const QString kClientCustomerId = QStringLiteral("5172046938");
const QString kUserAgent = QStringLiteral("PPCRavelin");
const QString kDeveloperToken = QStringLiteral("Tm4Kz8Qw-pLx3vRn7-_Hje");
constexpr int kMaxQueries = 10;

QString line(const QString& text) { return text + kCrlf; }

bool xmlAllowed(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// The keyword as XML element text.
QString xmlText(const QString& keyword)
{
    QString out;
    for (const char32_t c : keyword.toUcs4()) {
        if (!xmlAllowed(c))
            continue;
        switch (c) {
        case U'&': out += QStringLiteral("&amp;"); break;
        case U'<': out += QStringLiteral("&lt;"); break;
        case U'>': out += QStringLiteral("&gt;"); break;
        case U'"': out += QStringLiteral("&quot;"); break;
        case U'\'': out += QStringLiteral("&apos;"); break;
        default:
            if (c >= 128 && c <= 255)
                out += QStringLiteral("&#x") + QString::number(uint(c), 16).toUpper() + QLatin1Char(';');
            else
                out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

bool enclosed(const QString& text, QChar open, QChar close)
{
    return text.size() >= 2 && text.startsWith(open) && text.endsWith(close);
}

// Criterion ids are whole numbers; anything else in a code file is no id
// the service knows, and would go into the request as markup.
bool isCriterionId(const QString& id)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(id).hasMatch();
}

// One search parameter block of ids, or "" when no entry is ticked. The
// ids come from the code file's section; an entry without an id is left
// out, and so is one whose id is not a whole number (logged).
QString idBlock(const QList<ListEntry>& entries, const QString& codeFile, const QString& section,
                const QString& type, const QString& element)
{
    QString ids;
    bool anyTicked = false;
    for (const ListEntry& entry : entries) {
        if (!entry.ticked)
            continue;
        anyTicked = true;
        const QString id = Conversions::Trim(IniFiles::ReadINI(codeFile, section, entry.name));
        if (id.isEmpty())
            continue;
        if (!isCriterionId(id)) {
            ErrorLog::WriteErrorLog(QStringLiteral("frmKeywordResearch_GetPostStringGoogle error:  the ") + section
                                    + QStringLiteral(" of \"") + entry.name
                                    + QStringLiteral("\" is not a whole number: left out of the request"));
            continue;
        }
        ids += line(QStringLiteral("<cm:id>") + id + QStringLiteral("</cm:id>"));
    }
    if (!anyTicked)
        return QString();
    return line(QStringLiteral("<o:searchParameters xsi:type=\"o:") + type + QStringLiteral("\">"))
        + line(QStringLiteral("<o:") + element + QLatin1Char('>')) + ids
        + line(QStringLiteral("</o:") + element + QLatin1Char('>')) + line(QStringLiteral("</o:searchParameters>"));
}

} // namespace

QString SplitKeywordsGoogle(const QStringList& lines)
{
    QString queries;
    bool anyLine = false;
    bool anyPositive = false;
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString& part = lines.at(number);
        if (Conversions::Trim(part).isEmpty())
            continue;
        anyLine = true;
        const bool negative = part.startsWith(QLatin1Char('-'));
        QString keyword = negative ? part.mid(1) : part;
        if (enclosed(part, QLatin1Char('['), QLatin1Char(']')) || enclosed(part, QLatin1Char('"'), QLatin1Char('"')))
            keyword = keyword.mid(1, keyword.size() - 2);
        const QString text = xmlText(keyword);
        if (!text.isEmpty()) {
            queries += line(QStringLiteral("<o:queries>") + text + QStringLiteral("</o:queries>"));
            anyPositive = anyPositive || !negative;
        }
        if (number >= kMaxQueries - 1)
            break;
    }
    if (!anyLine)
        return QString();
    if (!anyPositive) {
        platform::MsgBox(QStringLiteral("Please enter at least one keyword as positive Keyword"),
                         platform::MsgButtons::OK, platform::MsgIcon::Information, QStringLiteral("Positive Keywords"));
        return QString();
    }
    return queries;
}

QString SoapHeaderGoogle()
{
    return line(QStringLiteral("<soap:Header>"))
        + line(QStringLiteral("<o:RequestHeader xmlns=\"") + kNamespaceO + QStringLiteral("\">"))
        + line(QStringLiteral("<cm:clientCustomerId>") + kClientCustomerId + QStringLiteral("</cm:clientCustomerId>"))
        + line(QStringLiteral("<cm:userAgent>") + kUserAgent + QStringLiteral("</cm:userAgent>"))
        + line(QStringLiteral("<cm:developerToken>") + kDeveloperToken
               + QStringLiteral("</cm:developerToken>"))
        + line(QStringLiteral("</o:RequestHeader>")) + QStringLiteral("</soap:Header>");
}

PostString GetPostStringGoogle(const Input& input, const QString& requestType)
{
    const QString countryFile = CodeFiles::GetCountryCodeFile();
    const QString languageFile = CodeFiles::GetLanguageCodeFile();
    if (Conversions::Trim(countryFile).isEmpty() || Conversions::Trim(languageFile).isEmpty())
        return {};

    static const QRegularExpression lineEnd(QStringLiteral("\r?\n"));
    const QString queries = SplitKeywordsGoogle(Conversions::Trim(input.seedKeywords).split(lineEnd));
    if (Conversions::Trim(queries).isEmpty())
        return {};

    const QString languages = idBlock(input.languages, languageFile, QStringLiteral("LanguageID"),
                                      QStringLiteral("LanguageSearchParameter"), QStringLiteral("languages"));
    const QString locations = idBlock(input.countries, countryFile, QStringLiteral("CountryID"),
                                      QStringLiteral("LocationSearchParameter"), QStringLiteral("locations"));
    const QString body = line(QStringLiteral("<soap:Body>"))
        + line(QStringLiteral("<o:get xmlns=\"") + kNamespaceO + QStringLiteral("\">"))
        + line(QStringLiteral("<o:selector>"))
        + line(QStringLiteral("<o:searchParameters xsi:type=\"o:RelatedToQuerySearchParameter\">")) + queries
        + line(QStringLiteral("</o:searchParameters>")) + languages + locations
        + line(QStringLiteral("<o:ideaType>KEYWORD</o:ideaType>"))
        + line(QStringLiteral("<o:requestType>") + requestType + QStringLiteral("</o:requestType>"))
        + line(QStringLiteral("<o:requestedAttributeTypes>COMPETITION</o:requestedAttributeTypes>"))
        + line(QStringLiteral("<o:requestedAttributeTypes>SEARCH_VOLUME</o:requestedAttributeTypes>"))
        + line(QStringLiteral("<o:requestedAttributeTypes>KEYWORD_TEXT</o:requestedAttributeTypes>"))
        + line(QStringLiteral("<o:paging>")) + line(QStringLiteral("<cm:startIndex>0</cm:startIndex>"))
        + line(QStringLiteral("<cm:numberResults>") + input.maxResults + QStringLiteral("</cm:numberResults>"))
        + line(QStringLiteral("</o:paging>")) + line(QStringLiteral("</o:selector>")) + line(QStringLiteral("</o:get>"))
        + line(QStringLiteral("</soap:Body>"));

    const QString declaration = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soap:Envelope"
        " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:o=\"")
        + kNamespaceO + QStringLiteral("\" xmlns:cm=\"") + kNamespaceCm
        + QStringLiteral("\"  xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
                         " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                         " xmlns:soap-enc=\"http://schemas.xmlsoap.org/soap/encoding/\">");
    return {line(declaration) + SoapHeaderGoogle() + kCrlf + body + QStringLiteral("</soap:Envelope>"),
            languages.isEmpty() && locations.isEmpty()};
}

} // namespace TargetingIdeaRequest

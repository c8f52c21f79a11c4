#include "generator/ImportFormat.h"

namespace ImportFormat {

namespace {

const QString kEncodedComma = QStringLiteral("%2C");

} // namespace

QString fileName(File file)
{
    switch (file) {
    case File::Keywords: return QStringLiteral("AdwordsKeywords.csv");
    case File::Ads: return QStringLiteral("AdwordsAds.csv");
    case File::AdGroups: return QStringLiteral("AdwordsAdGroups.csv");
    }
    return QString();
}

const QList<Column>& columns(File file)
{
    static const QList<Column> keywords{
        {Field::Campaign, QStringLiteral("Campaign")},
        {Field::AdGroup, QStringLiteral("Ad Group")},
        {Field::Keyword, QStringLiteral("Keyword")},
        {Field::KeywordType, QStringLiteral("Keyword Type")},
        {Field::MaxCpc, QStringLiteral("Max CPC")},
        {Field::DestinationUrl, QStringLiteral("Destination URL")},
    };
    static const QList<Column> ads{
        {Field::Campaign, QStringLiteral("Campaign")},
        {Field::AdGroup, QStringLiteral("Ad Group")},
        {Field::Headline, QStringLiteral("Headline")},
        {Field::DescriptionLine1, QStringLiteral("Description Line1")},
        {Field::DescriptionLine2, QStringLiteral("Description Line2")},
        {Field::DisplayUrl, QStringLiteral("Display URL")},
        {Field::DestinationUrl, QStringLiteral("Destination URL")},
    };
    static const QList<Column> adGroups{
        {Field::Campaign, QStringLiteral("Campaign")},
        {Field::AdGroup, QStringLiteral("Ad Group")},
        {Field::MaxCpc, QStringLiteral("Max CPC")},
        {Field::MaxContentCpc, QStringLiteral("Max Content CPC")},
        {Field::PlacementMaxCpc, QStringLiteral("Placement Max CPC")},
    };
    switch (file) {
    case File::Keywords: return keywords;
    case File::Ads: return ads;
    case File::AdGroups: break;
    }
    return adGroups;
}

QStringList columnCaptions(File file)
{
    QStringList captions;
    for (const Column& column : columns(file))
        captions << column.caption;
    return captions;
}

int columnOf(File file, Field field)
{
    const QList<Column>& all = columns(file);
    for (int i = 0; i < all.size(); ++i) {
        if (all[i].field == field)
            return i;
    }
    return -1;
}

void quoteFrom(generator::RowText& row, qsizetype start)
{
    if (!needsQuoting(row.mid(start)))
        return;
    const QString field = row.mid(start).toString();
    row.truncate(start);
    appendField(row, field);
}

QString quoted(const QString& field)
{
    QString s;
    appendField(s, field);
    return s;
}

QString adTextForm(const QString& typed, bool* inOwnForm)
{
    *inOwnForm = typed.contains(QLatin1Char(','));
    if (!*inOwnForm)
        return typed;
    QString t = typed;
    t.replace(QLatin1Char(','), kEncodedComma);
    return QLatin1Char('"') + t + QLatin1Char('"');
}

bool keepsAdTextForm(bool typedInOwnForm, QStringView text)
{
    return typedInOwnForm && text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
}

QList<ReadField> readLine(QStringView line)
{
    QList<ReadField> out;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        if (i < n && line[i] == QLatin1Char('"')) {
            QString value;
            qsizetype j = i + 1;
            bool wellFormed = false;
            while (j < n) {
                if (line[j] == QLatin1Char('"')) {
                    if (j + 1 < n && line[j + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    wellFormed = (j + 1 == n || line[j + 1] == QLatin1Char(','));
                    ++j;
                    break;
                }
                value += line[j];
                ++j;
            }
            if (wellFormed) {
                out.append(ReadField{value, true});
                if (j >= n)
                    break;
                i = j + 1; // past the ","
                continue;
            }
        }
        const qsizetype comma = line.indexOf(QLatin1Char(','), i);
        out.append(ReadField{line.mid(i, comma < 0 ? n - i : comma - i).toString(), false});
        if (comma < 0)
            break;
        i = comma + 1;
    }
    return out;
}

QString readValue(const ReadField& field)
{
    if (field.quoted || !field.value.contains(kEncodedComma))
        return decodeCommas(field.value);
    QString value = decodeCommas(field.value);
    if (value.startsWith(QLatin1Char('"')))
        value.remove(0, 1);
    if (value.endsWith(QLatin1Char('"')))
        value.chop(1);
    return value;
}

QString decodeCommas(QString text)
{
    return text.replace(kEncodedComma, QStringLiteral(","));
}

} // namespace ImportFormat

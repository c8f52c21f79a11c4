#include "generator/KeywordMixing.h"

#include "core/Conversions.h"
#include "generator/BlockPipeline.h"
#include "generator/ImportFormat.h"
#include "generator/TaggedSections.h"

namespace generator {

namespace {

const QString& emptyText()
{
    static const QString empty;
    return empty;
}

QString normaliseLineBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\n')))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += c;
    }
    return out;
}

std::vector<KeywordElement> splitElements(const QString& text)
{
    std::vector<KeywordElement> elements;
    if (text.isEmpty())
        return elements;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    elements.reserve(lines.size());
    const QString open = QStringLiteral("[");
    const QString close = QStringLiteral("]");
    for (const QString& line : lines) {
        KeywordElement e;
        e.line = line;
        e.empty = line.isEmpty();
        e.keyword = TaggedSections::RemoveSection(line, open, close);
        e.alternative = TaggedSections::FindSectionB(line, open, close);
        e.braces = HasBrace(e.keyword) || HasBrace(e.alternative);
        e.brackets = e.keyword.contains(QLatin1Char('[')) || e.keyword.contains(QLatin1Char(']'));
        e.quotes = ImportFormat::needsQuoting(e.keyword) || ImportFormat::needsQuoting(e.alternative);
        elements.push_back(std::move(e));
    }
    return elements;
}

QString label(int n)
{
    if (n == 2)
        return QStringLiteral("BuildCampaigns: mixing keywords 2 ...");
    return QStringLiteral("BuildCampaigns: mixing keywords %1...").arg(n);
}

// The modes that pair every base line with every extension line.
bool mixesBothLists(Mixing mode)
{
    return mode == Mixing::ExtensionBeforeBase || mode == Mixing::ExtensionAfterBase
        || mode == Mixing::ExtensionBeforeAndAfterBase;
}

} // namespace

MixOptions MixOptions::of(const CampaignData& campaign)
{
    return MixOptions{campaign.mixing, campaign.grouping, campaign.includeBaseKeyword, campaign.includeExtKeyword};
}

KeywordLists KeywordLists::fromTexts(const QString& baseText, const QString& extensionText)
{
    const QString crlf = QStringLiteral("\r\n");
    QString b = normaliseLineBreaks(baseText);
    if (!b.endsWith(crlf))
        b += crlf;
    QString x = normaliseLineBreaks(extensionText);
    if (!x.isEmpty() && !x.endsWith(crlf))
        x += crlf;
    KeywordLists lists;
    lists.base = splitElements(b);
    lists.ext = splitElements(x);
    lists.extensionBoxBlank = Conversions::Trim(extensionText).isEmpty();
    return lists;
}

std::vector<RecordRef> MixKeywords(const KeywordLists& lists, const MixOptions& options, QString* stepLabel)
{
    std::vector<RecordRef> records;
    int lastLabel = 0;
    const Mixing mode = options.mixing;
    const bool bothLists = mixesBothLists(mode);
    const qint32 baseCount = qint32(lists.base.size());
    const qint32 extCount = qint32(lists.ext.size());
    qint32 extNonEmpty = 0;
    for (const KeywordElement& e : lists.ext)
        extNonEmpty += e.empty ? 0 : 1;
    const size_t perPair = mode == Mixing::ExtensionBeforeAndAfterBase ? 2 : 1;
    if (bothLists)
        records.reserve(size_t(baseCount) * (1 + size_t(extNonEmpty) * perPair) + size_t(extNonEmpty));
    else
        records.reserve(size_t(baseCount) + size_t(extNonEmpty));

    const bool baseAloneAlways = lists.extensionBoxBlank && lists.baseLastIndex() == 1;
    const bool baseAloneByOption = options.includeBase == Include::Yes && options.grouping != Grouping::ByExtension;

    for (qint32 i = 0; i < baseCount; ++i) {
        lastLabel = 2;
        if (lists.base[size_t(i)].empty)
            continue;
        lastLabel = 3;
        if (mode == Mixing::Pair) {
            lastLabel = 4;
            if (i >= extCount) {
                lastLabel = 6;
                records.push_back({i, -1, MixBase, RecordRef::NoExtAlternative});
            } else {
                lastLabel = 5;
                records.push_back({i, i, MixBaseExt, 0});
            }
        } else if (mode == Mixing::BaseOnly) {
            lastLabel = 7;
            records.push_back({i, -1, MixBase, RecordRef::NoExtAlternative});
        } else if (bothLists) {
            lastLabel = 8;
            if (baseAloneAlways || baseAloneByOption) {
                lastLabel = 9;
                records.push_back({i, -1, MixBase, RecordRef::NoExtAlternative});
            }
            for (qint32 j = 0; j < extCount; ++j) {
                lastLabel = 10;
                if (lists.ext[size_t(j)].empty)
                    continue;
                lastLabel = 11;
                if (mode == Mixing::ExtensionBeforeBase) {
                    lastLabel = 12;
                    records.push_back({i, j, MixExtBase, 0});
                } else if (mode == Mixing::ExtensionAfterBase) {
                    lastLabel = 13;
                    records.push_back({i, j, MixBaseExt, 0});
                } else {
                    lastLabel = 14;
                    records.push_back({i, j, MixExtBase, 0});
                    records.push_back({i, j, MixBaseExt, 0});
                }
            }
        }
    }
    if (options.includeExt == Include::Yes && options.grouping != Grouping::ByBase) {
        lastLabel = 15;
        for (qint32 j = 0; j < extCount; ++j) {
            lastLabel = 16;
            if (lists.ext[size_t(j)].empty)
                continue;
            lastLabel = 17;
            records.push_back({-1, j, MixExtension,
                               quint8(RecordRef::NoBaseAlternative | RecordRef::NoExtAlternative)});
        }
    }
    if (stepLabel && lastLabel != 0)
        *stepLabel = label(lastLabel);
    return records;
}

AdGroupList FormAdGroups(const KeywordLists& lists, const MixOptions& options, const QString& customGroup,
                         const GroupNameOptions& nameOptions)
{
    AdGroupList out;
    const Mixing mode = options.mixing;
    const bool bothOrders = mode == Mixing::ExtensionBeforeAndAfterBase;
    const qint32 baseCount = qint32(lists.base.size());
    const qint32 extCount = qint32(lists.ext.size());
    qint32 lastExt = -1;
    for (qint32 j = 0; j < extCount; ++j)
        if (!lists.ext[size_t(j)].empty)
            lastExt = j;
    qint32 lastBase = -1;
    for (qint32 i = 0; i < baseCount; ++i)
        if (!lists.base[size_t(i)].empty)
            lastBase = i;

    auto add = [&](RecordRef r, QString name) {
        if (HasBrace(name))
            r.flags |= RecordRef::NameHasBrace;
        out.groups.push_back(r);
        out.names.push_back(std::move(name));
    };

    switch (options.grouping) {
    case Grouping::SingleCustomGroup:
        add({-1, -1, MixNone, quint8(RecordRef::NoBaseAlternative | RecordRef::NoExtAlternative)},
            FormatGroupName(Conversions::Trim(customGroup), nameOptions));
        add({-1, -1, MixNone, quint8(RecordRef::NoBaseAlternative | RecordRef::NoExtAlternative)}, QString());
        break;
    case Grouping::ByBase:
        for (qint32 i = 0; i < baseCount; ++i) {
            const KeywordElement& b = lists.base[size_t(i)];
            if (b.empty)
                continue;
            RecordRef r{i, lastExt, MixBase, 0};
            if (lastExt >= 0 && (mode == Mixing::ExtensionBeforeBase || bothOrders))
                r.mix = MixExtBase;
            else if (lastExt >= 0 && mode == Mixing::ExtensionAfterBase)
                r.mix = MixBaseExt;
            add(r, FormatGroupName(b.keyword, nameOptions));
        }
        break;
    case Grouping::ByExtension:
        for (qint32 j = 0; j < extCount; ++j) {
            const KeywordElement& x = lists.ext[size_t(j)];
            if (x.empty)
                continue;
            RecordRef r{lastBase, j, MixExtension, 0};
            if (lastBase >= 0 && (mode == Mixing::ExtensionBeforeBase || bothOrders))
                r.mix = MixExtBase;
            else if (lastBase >= 0 && mode == Mixing::ExtensionAfterBase)
                r.mix = MixBaseExt;
            add(r, FormatGroupName(x.keyword, nameOptions));
        }
        break;
    case Grouping::ByMix: {
        std::vector<qint32> bases;
        for (qint32 i = 0; i < baseCount; ++i)
            if (!lists.base[size_t(i)].empty)
                bases.push_back(i);
        std::vector<qint32> exts;
        for (qint32 j = 0; j < extCount; ++j)
            if (!lists.ext[size_t(j)].empty)
                exts.push_back(j);
        // Mode 2 follows every group by an entry without a name.
        const size_t stride = bothOrders ? 2 : 1;
        const size_t total = bases.size() * exts.size() * stride;
        out.groups.assign(total, {-1, -1, MixNone, quint8(RecordRef::NoBaseAlternative | RecordRef::NoExtAlternative)});
        out.names.resize(total);
        const quint8 mixForm = mode == Mixing::ExtensionBeforeBase || bothOrders ? MixExtBase
            : mode == Mixing::ExtensionAfterBase                               ? MixBaseExt
                                                                               : MixNone;
        // A million names or more: formed on several threads, each into
        // entries of its own.
        ForEachRange(qsizetype(bases.size()), 16, [&](qsizetype first, qsizetype last) {
            QString joined;
            for (qsizetype b = first; b <= last; ++b) {
                const qint32 i = bases[size_t(b)];
                for (size_t x = 0; x < exts.size(); ++x) {
                    const size_t k = (size_t(b) * exts.size() + x) * stride;
                    joined.resize(0);
                    joined += lists.base[size_t(i)].keyword;
                    joined += QLatin1Char(' ');
                    joined += lists.ext[size_t(exts[x])].keyword;
                    out.names[k] = FormatGroupName(joined, nameOptions);
                    out.groups[k] = {i, exts[x], mixForm,
                                     quint8(HasBrace(out.names[k]) ? RecordRef::NameHasBrace : 0)};
                }
            }
        });
        break;
    }
    }
    return out;
}

const QString& BaseText(const KeywordLists& lists, const RecordRef& r)
{
    return r.base >= 0 ? lists.base[size_t(r.base)].keyword : emptyText();
}

const QString& ExtText(const KeywordLists& lists, const RecordRef& r)
{
    return r.ext >= 0 ? lists.ext[size_t(r.ext)].keyword : emptyText();
}

const QString& BaseAltText(const KeywordLists& lists, const RecordRef& r)
{
    if (r.base < 0 || (r.flags & RecordRef::NoBaseAlternative))
        return emptyText();
    return lists.base[size_t(r.base)].alternative;
}

const QString& ExtAltText(const KeywordLists& lists, const RecordRef& r)
{
    if (r.ext < 0 || (r.flags & RecordRef::NoExtAlternative))
        return emptyText();
    return lists.ext[size_t(r.ext)].alternative;
}

QString MixText(const KeywordLists& lists, const RecordRef& r)
{
    switch (r.mix) {
    case MixBase: return BaseText(lists, r);
    case MixExtension: return ExtText(lists, r);
    case MixExtBase: return ExtText(lists, r) + QLatin1Char(' ') + BaseText(lists, r);
    case MixBaseExt: return BaseText(lists, r) + QLatin1Char(' ') + ExtText(lists, r);
    default: return QString();
    }
}

KeywordRecord ToKeywordRecord(const KeywordLists& lists, const RecordRef& r, const QString& group)
{
    return KeywordRecord{MixText(lists, r), BaseText(lists, r), ExtText(lists, r), group,
                         BaseAltText(lists, r), ExtAltText(lists, r)};
}

QList<KeywordRecord> ToKeywordRecords(const KeywordLists& lists, const std::vector<RecordRef>& refs)
{
    QList<KeywordRecord> out;
    out.reserve(qsizetype(refs.size()));
    for (const RecordRef& r : refs)
        out.append(ToKeywordRecord(lists, r));
    return out;
}

QList<KeywordRecord> ToKeywordRecords(const KeywordLists& lists, const AdGroupList& groups)
{
    QList<KeywordRecord> out;
    out.reserve(qsizetype(groups.groups.size()));
    for (size_t k = 0; k < groups.groups.size(); ++k)
        out.append(ToKeywordRecord(lists, groups.groups[k], groups.names[k]));
    return out;
}

} // namespace generator

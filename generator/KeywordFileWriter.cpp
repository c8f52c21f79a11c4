#include "generator/KeywordFileWriter.h"

#include "generator/ImportFormat.h"

#include <QHash>

namespace generator {

using ImportFormat::appendField;
using ImportFormat::needsQuoting;
using ImportFormat::quoted;

namespace {

// The rows of the keyword file, prepared once per build and formatted by
// several threads at once: nothing here changes after construction.
class KeywordRows
{
public:
    explicit KeywordRows(const BuildContext& context)
        : m_ctx(context)
        , m_c(context.campaign)
        , m_lists(context.lists)
        , m_records(context.records)
        , m_groups(context.groups)
        , m_nameOptions(context.nameOptions)
        , m_ticked{m_c.broadMatch, m_c.phraseMatch, m_c.exactMatch}
        , m_bids{quoted(m_c.broadBid), quoted(m_c.phraseBid), quoted(m_c.exactBid)}
        , m_campaign(quoted(context.input.campaignName))
        , m_withUrl(!m_c.urlTemplate.isEmpty())
        , m_urlC(m_c.urlTemplate, {TokBase, TokExtension, TokMix, TokCampaign, TokAdGroup, TokMatch})
        , m_urlFast(m_urlC.clean() && !context.campaignBrace && !context.literalOnly())
    {
        // Group names per element for grouping by base or extension.
        m_emptyName = FormatGroupName(QString(), m_nameOptions);
        m_customName = FormatGroupName(m_c.customGroup, m_nameOptions);
        if (m_c.grouping == Grouping::ByBase) {
            for (const KeywordElement& e : m_lists.base)
                m_baseNames.push_back(FormatGroupName(e.keyword, m_nameOptions));
        } else if (m_c.grouping == Grouping::ByExtension) {
            for (const KeywordElement& e : m_lists.ext)
                m_extNames.push_back(FormatGroupName(e.keyword, m_nameOptions));
        } else if (m_c.grouping == Grouping::ByMix) {
            prepareGroupLookup();
        }
    }

    qsizetype lastIndex() const { return qsizetype(m_records.size()) - 1; }

    void format(qsizetype first, qsizetype last, RowBlock& block) const
    {
        static const QString words[3] = {QStringLiteral("broad"), QStringLiteral("phrase"), QStringLiteral("exact")};
        static const QString types[3] = {QStringLiteral(",Broad,"), QStringLiteral(",Phrase,"),
                                         QStringLiteral(",Exact,")};
        const QString& tmpl = m_c.urlTemplate;
        std::vector<RowText> pieces;
        QString url;
        QString lastGroup;
        qint32 lastGroupBase = -2, lastGroupExt = -2;
        quint8 lastGroupMix = 0xff;
        bool lastGroupQuoted = false;
        bool lastGroupBrace = false;
        for (qsizetype i = first; i <= last; ++i) {
            const RecordRef& r = m_records[size_t(i)];
            const QString mix = MixText(m_lists, r);
            if (mix.isEmpty())
                continue;
            // Neighbouring records of one pair share the group.
            if (r.base != lastGroupBase || r.ext != lastGroupExt || r.mix != lastGroupMix) {
                lastGroup = keywordGroup(r);
                lastGroupQuoted = needsQuoting(lastGroup);
                lastGroupBrace = HasBrace(lastGroup);
                lastGroupBase = r.base;
                lastGroupExt = r.ext;
                lastGroupMix = r.mix;
            }
            const QString& group = lastGroup;
            const bool baseBrackets = r.base >= 0 && m_lists.base[size_t(r.base)].brackets;
            const bool extBrackets = r.ext >= 0 && m_lists.ext[size_t(r.ext)].brackets;
            const QString keyword = baseBrackets || extBrackets ? RemoveReplaceField(mix) : mix;
            const std::array<bool, TokKindCount> quotes = m_ctx.valueQuotes(r, lastGroupQuoted);
            const bool keywordQuoted = quotes[TokMix] && needsQuoting(keyword);

            const QString& b = BaseText(m_lists, r);
            const QString& e = ExtText(m_lists, r);
            bool fast = false;
            size_t pieceCount = 0;
            bool piecesQuoted = false;
            if (m_withUrl) {
                const bool braces = (r.base >= 0 && m_lists.base[size_t(r.base)].braces)
                    || (r.ext >= 0 && m_lists.ext[size_t(r.ext)].braces) || lastGroupBrace;
                fast = m_urlFast && !braces;
                if (fast) {
                    TokenValues v;
                    v[TokBase] = b;
                    v[TokExtension] = e;
                    v[TokMix] = mix;
                    v[TokCampaign] = m_ctx.input.campaignName;
                    v[TokAdGroup] = group;
                    pieceCount = m_urlC.appendPieces(pieces, v);
                    const bool mayQuote = m_urlC.mayNeedQuotes(quotes);
                    for (size_t k = 0; k < pieceCount; ++k) {
                        ReplaceUrlSpaces(pieces[k], m_c.replaceSpace, 0);
                        piecesQuoted = piecesQuoted || (mayQuote && needsQuoting(pieces[k].view()));
                    }
                } else {
                    url = tmpl;
                    url.replace(TokenText(TokBase), b, Qt::CaseInsensitive);
                    url.replace(TokenText(TokExtension), e, Qt::CaseInsensitive);
                    url.replace(TokenText(TokMix), mix, Qt::CaseInsensitive);
                    url.replace(TokenText(TokCampaign), m_ctx.input.campaignName, Qt::CaseInsensitive);
                    url.replace(TokenText(TokAdGroup), group, Qt::CaseInsensitive);
                    ReplaceUrlSpaces(url, m_c.replaceSpace);
                }
            }
            for (int t = 0; t < 3; ++t) {
                if (!m_ticked[t])
                    continue;
                RowText& out = block.row();
                out += m_campaign;
                out += QLatin1Char(',');
                if (lastGroupQuoted)
                    appendField(out, group);
                else
                    out += group;
                out += QLatin1Char(',');
                if (keywordQuoted)
                    appendField(out, keyword);
                else
                    out += keyword;
                out += types[t];
                out += m_bids[t];
                if (m_withUrl) {
                    if (fast && !piecesQuoted) {
                        const qsizetype at = out.size();
                        out += QLatin1Char(',');
                        out += pieces[0].view();
                        for (size_t k = 1; k < pieceCount; ++k) {
                            out += words[t];
                            out += pieces[k].view();
                        }
                        if (out.size() == at + 1)
                            out.truncate(at); // no URL
                    } else {
                        QString u;
                        if (fast) {
                            u = pieces[0].view().toString();
                            for (size_t k = 1; k < pieceCount; ++k) {
                                u += words[t];
                                u += pieces[k].view();
                            }
                        } else {
                            u = url;
                            u.replace(TokenText(TokMatch), words[t], Qt::CaseInsensitive);
                        }
                        if (!u.isEmpty()) {
                            out += QLatin1Char(',');
                            appendField(out, u);
                        }
                    }
                }
                block.endRow();
            }
        }
    }

private:
    void prepareGroupLookup()
    {
        // First non-empty element (by ordinal among the non-empty ones) whose
        // keyword equals each element's keyword without regard to case.
        auto firstOrdinals = [](const std::vector<KeywordElement>& elems, std::vector<qint32>& byElement,
                                qint32& emptyKeyOrdinal, qint32& nonEmpty) {
            QHash<QString, qint32> first;
            nonEmpty = 0;
            for (const KeywordElement& e : elems) {
                if (e.empty)
                    continue;
                const QString key = e.keyword.toCaseFolded();
                if (!first.contains(key))
                    first.insert(key, nonEmpty);
                ++nonEmpty;
            }
            byElement.resize(elems.size());
            for (size_t i = 0; i < elems.size(); ++i)
                byElement[i] = first.value(elems[i].keyword.toCaseFolded(), -1);
            emptyKeyOrdinal = first.value(QString(), -1);
        };
        firstOrdinals(m_lists.base, m_baseOrd, m_emptyBaseOrd, m_baseNonEmpty);
        firstOrdinals(m_lists.ext, m_extOrd, m_emptyExtOrd, m_extNonEmpty);
    }

    QString keywordGroup(const RecordRef& r) const
    {
        switch (m_c.grouping) {
        case Grouping::ByBase:
            return r.base >= 0 ? m_baseNames[size_t(r.base)] : m_emptyName;
        case Grouping::ByExtension:
            return r.ext >= 0 ? m_extNames[size_t(r.ext)] : m_emptyName;
        case Grouping::ByMix: {
            const QString& b = BaseText(m_lists, r);
            const QString& e = ExtText(m_lists, r);
            const qint32 bo = r.base >= 0 ? m_baseOrd[size_t(r.base)] : m_emptyBaseOrd;
            const qint32 eo = r.ext >= 0 ? m_extOrd[size_t(r.ext)] : m_emptyExtOrd;
            if (m_c.mixing == Mixing::ExtensionBeforeAndAfterBase && b.isEmpty() && e.isEmpty() && m_groups.groups.size() >= 2) {
                // The unnamed entry after the first group has empty texts too.
                return bo == 0 && eo == 0 ? m_groups.names[0] : QString();
            }
            if (bo >= 0 && eo >= 0) {
                const size_t stride = m_c.mixing == Mixing::ExtensionBeforeAndAfterBase ? 2 : 1;
                return m_groups.names[(size_t(bo) * size_t(m_extNonEmpty) + size_t(eo)) * stride];
            }
            return FormatGroupName(b + QLatin1Char(' ') + e, m_nameOptions);
        }
        case Grouping::SingleCustomGroup:
            return m_customName;
        }
        return QString();
    }

    const BuildContext& m_ctx;
    const CampaignData& m_c;
    const KeywordLists& m_lists;
    const std::vector<RecordRef>& m_records;
    const AdGroupList& m_groups;
    const GroupNameOptions& m_nameOptions;
    const bool m_ticked[3];
    const QString m_bids[3];
    const QString m_campaign;
    const bool m_withUrl;
    const CompiledTemplate m_urlC;
    const bool m_urlFast;

    // The ad group of a record, per element for grouping by base or
    // extension and by the first group of equal texts for grouping by mix.
    std::vector<QString> m_baseNames;
    std::vector<QString> m_extNames;
    QString m_emptyName;
    QString m_customName;
    std::vector<qint32> m_baseOrd;
    std::vector<qint32> m_extOrd;
    qint32 m_emptyBaseOrd = -1;
    qint32 m_emptyExtOrd = -1;
    qint32 m_baseNonEmpty = 0;
    qint32 m_extNonEmpty = 0;
};

} // namespace

void WriteKeywordFile(BuildContext& context, RowWriter& file)
{
    const KeywordRows rows(context);
    context.writeRows(GenerationPhase::KeywordFile, file, rows.lastIndex(), [&rows] {
        return [&rows](qsizetype first, qsizetype last, RowBlock& block) { rows.format(first, last, block); };
    });
}

} // namespace generator

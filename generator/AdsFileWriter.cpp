#include "generator/AdsFileWriter.h"

#include "core/Conversions.h"
#include "generator/ImportFormat.h"

#include <QSet>

#include <algorithm>
#include <memory>

namespace generator {

using ImportFormat::adTextForm;
using ImportFormat::appendField;
using ImportFormat::keepsAdTextForm;
using ImportFormat::needsQuoting;
using ImportFormat::quoted;
using ImportFormat::quoteFrom;

namespace {

constexpr int kHeadlineLimit = 90;
constexpr int kDescriptionLimit = 90;
constexpr int kMaxTitleWarnings = kHeadlineLimit - 5;

// Memo of CapitalizeX for one value and the typed forms met so far.
class CapMemo
{
public:
    explicit CapMemo(bool capitalization)
        : m_cap(capitalization)
    {
    }
    void reset(const QString& value)
    {
        m_value = value;
        m_memo.clear();
    }
    QString get(const QString& form)
    {
        if (!m_cap)
            return m_value;
        // The forms are the few texts of the build's templates, equal ones
        // sharing their data (AdTemplates): found by that.
        for (const auto& [f, r] : m_memo) {
            if (f.constData() == form.constData())
                return r;
        }
        m_memo.emplace_back(form, CapitalizeX(m_value, form, m_cap));
        return m_memo.back().second;
    }

private:
    bool m_cap;
    QString m_value;
    std::vector<std::pair<QString, QString>> m_memo;
};

struct TitleWarnings {
    QString text;
    int count = 0;
    QSet<QString> seen;

    void consider(const QString& h)
    {
        if (h.startsWith(QLatin1Char('{')) || count >= kMaxTitleWarnings)
            return;
        const QString key = h.toCaseFolded();
        if (seen.contains(key))
            return;
        seen.insert(key);
        if (text.contains(h, Qt::CaseInsensitive))
            return;
        text += ImportFormat::rowEnd() + h;
        ++count;
    }
};

// Takes the headline's own alternative out of headline: the trimmed text
// inside its first "[" "]" pair, that part (brackets included, every copy
// of it) removed from the headline, which is then trimmed. Whatever the
// brackets hold (one character, nothing, blanks around the text), they do
// not stay in the ad.
QString takeOwnAlternative(QString& headline)
{
    if (!headline.contains(QLatin1Char('[')) || !headline.contains(QLatin1Char(']')))
        return QString();
    QString alternative;
    const qsizetype open = headline.indexOf(QLatin1Char('['));
    const qsizetype close = headline.indexOf(QLatin1Char(']'), open + 1);
    if (close >= 0) {
        const QString part = headline.mid(open, close + 1 - open);
        alternative = Conversions::Trim(part.mid(1, part.size() - 2));
        headline.remove(part, Qt::CaseInsensitive);
    }
    headline = Conversions::Trim(headline);
    return alternative;
}

// One ad slot's templates, prepared once per build.
struct SlotTemplates {
    bool filled = false;
    QString headline;        // after quoting and removing its own alternative
    QString alternative;     // the headline's own alternative
    bool headlineQuoted = false;
    CompiledTemplate headlineC;
    std::array<QString, 2> description;
    std::array<bool, 2> descriptionQuoted{};
    std::array<CompiledTemplate, 2> descriptionC;
    QString display;
    CompiledTemplate displayC;
    QString destination;     // with "{title}" already replaced by the typed headline
    QString destinationForm; // typed form of "{base}" in the typed destination URL
    CompiledTemplate destinationC;
};

// Values of one ad group for the ad texts.
struct GroupValues {
    const QString* campaign;
    const QString* name;
    const QString* base;
    const QString* ext;
    const QString* mix;
    const QString* baseAlt;
    const QString* extAlt;
};

// The ad slots' templates, prepared once per build and read by every thread
// that formats rows.
class AdTemplates
{
public:
    explicit AdTemplates(const CampaignData& campaign)
    {
        for (size_t s = 0; s < campaign.ads.size(); ++s) {
            const AdSlotData& ad = campaign.ads[s];
            SlotTemplates& t = m_slots[s];
            t.filled = !ad.headline.isEmpty();
            if (!t.filled)
                continue;
            QString h = adTextForm(ad.headline, &t.headlineQuoted);
            t.alternative = takeOwnAlternative(h);
            t.headline = h;
            t.headlineC = CompiledTemplate(h, {TokCampaign, TokAdGroup, TokBase, TokExtension, TokMix});
            const QString* typedDescr[2] = {&ad.description1, &ad.description2};
            for (int d = 0; d < 2; ++d) {
                t.description[d] = adTextForm(*typedDescr[d], &t.descriptionQuoted[d]);
                t.descriptionC[d] = CompiledTemplate(t.description[d],
                                                     {TokCampaign, TokAdGroup, TokBase, TokExtension, TokMix});
            }
            t.display = ad.displayURL;
            t.displayC = CompiledTemplate(t.display, {TokTitle, TokCampaign, TokAdGroup, TokBase, TokExtension, TokMix});
            t.destinationForm = GetToken(ad.destinationURL, TokenText(TokBase));
            t.destination = ad.destinationURL;
            t.destination.replace(TokenText(TokTitle), ad.headline, Qt::CaseInsensitive);
            t.destinationC = CompiledTemplate(t.destination, {TokCampaign, TokAdGroup, TokBase, TokExtension, TokMix});
        }
        // Equal forms as one text, which the capitalisation memos find by
        // its data.
        std::vector<QString> forms;
        for (SlotTemplates& t : m_slots) {
            for (CompiledTemplate* c :
                 {&t.headlineC, &t.descriptionC[0], &t.descriptionC[1], &t.displayC, &t.destinationC})
                c->shareForms(forms);
            const auto same = std::find(forms.begin(), forms.end(), t.destinationForm);
            if (same == forms.end())
                forms.push_back(t.destinationForm);
            else
                t.destinationForm = *same;
        }
    }

    const std::array<SlotTemplates, CampaignData::AdSlotCount>& adSlots() const { return m_slots; }

private:
    std::array<SlotTemplates, CampaignData::AdSlotCount> m_slots;
};

// Formats the rows of the ads file for one thread at a time, with caches of
// its own.
class AdRowFormatter
{
public:
    AdRowFormatter(const BuildContext& context, const AdTemplates& templates)
        : m_ctx(context)
        , m_c(context.campaign)
        , m_lists(context.lists)
        , m_groups(context.groups)
        , m_slots(templates.adSlots())
        , m_campaign(quoted(context.input.campaignName))
    {
    }

    // The rows of groups first to last. An over-long headline without an
    // alternative of its own is also noted in the block, for the title
    // warnings.
    void format(qsizetype first, qsizetype last, RowBlock& block)
    {
        for (qsizetype gi = first; gi <= last; ++gi) {
            const QString& name = m_groups.names[size_t(gi)];
            if (name.isEmpty())
                continue;
            const RecordRef& r = m_groups.groups[size_t(gi)];
            const QString mix = MixText(m_lists, r);
            const GroupValues g{&m_ctx.input.campaignName, &name, &BaseText(m_lists, r), &ExtText(m_lists, r), &mix,
                                &BaseAltText(m_lists, r), &ExtAltText(m_lists, r)};
            const bool fastGroup = !m_ctx.literalOnly() && !m_ctx.campaignBrace && !(r.flags & RecordRef::NameHasBrace)
                && !(r.base >= 0 && m_lists.base[size_t(r.base)].braces)
                && !(r.ext >= 0 && m_lists.ext[size_t(r.ext)].braces);
            m_capBase = &capsOf(m_baseCaps, r.base, *g.base);
            m_capExt = &capsOf(m_extCaps, r.ext, *g.ext);
            m_capMix.reset(mix);
            const bool nameQuoted = needsQuoting(name);
            std::array<bool, TokKindCount> quotes = m_ctx.valueQuotes(r, nameQuoted);

            for (const SlotTemplates& t : m_slots) {
                if (!t.filled)
                    continue;
                // Headline
                RowText& h = m_headline;
                h.clear();
                // A headline filled by the precompiled template holds no brace.
                const bool fastHeadline = fastGroup && t.headlineC.clean();
                bool headlineBrace = false;
                if (fastHeadline) {
                    fillAdTextInto(h, t.headlineC, g, true, kHeadlineLimit);
                } else {
                    h += literalHeadline(t, g);
                    headlineBrace = HasBrace(h.view());
                }
                if (h.size() > kHeadlineLimit) {
                    if (!t.alternative.isEmpty()) {
                        h.clear();
                        h += t.alternative;
                        headlineBrace = HasBrace(t.alternative);
                    } else {
                        block.notes().push_back(h.view().toString());
                    }
                }

                RowText& out = block.row();
                out += m_campaign;
                out += QLatin1Char(',');
                if (nameQuoted)
                    appendField(out, name);
                else
                    out += name;
                out += QLatin1Char(',');
                if (keepsAdTextForm(t.headlineQuoted, h.view()))
                    out += h.view();
                else
                    appendField(out, h.view());
                // Descriptions
                for (int k = 0; k < 2; ++k) {
                    out += QLatin1Char(',');
                    const qsizetype at = out.size();
                    const bool fast = fastGroup && t.descriptionC[k].clean();
                    if (fast)
                        fillAdTextInto(out, t.descriptionC[k], g, false, kDescriptionLimit);
                    else
                        out += literalDescription(t.description[k], g);
                    if ((!fast || t.descriptionC[k].mayNeedQuotes(quotes))
                        && !keepsAdTextForm(t.descriptionQuoted[k], out.mid(at)))
                        quoteFrom(out, at);
                }
                // Display URL
                out += QLatin1Char(',');
                qsizetype at = out.size();
                if (fastGroup && t.displayC.clean() && !headlineBrace) {
                    TokenValues v;
                    const QString b = t.displayC.has(TokBase) ? m_capBase->get(t.displayC.form(TokBase)) : QString();
                    const QString e =
                        t.displayC.has(TokExtension) ? m_capExt->get(t.displayC.form(TokExtension)) : QString();
                    const QString m = t.displayC.has(TokMix) ? m_capMix.get(t.displayC.form(TokMix)) : QString();
                    v[TokTitle] = h.view();
                    v[TokCampaign] = *g.campaign;
                    v[TokAdGroup] = *g.name;
                    v[TokBase] = b;
                    v[TokExtension] = e;
                    v[TokMix] = m;
                    t.displayC.appendTo(out, v);
                    ReplaceUrlSpaces(out, m_c.replaceSpace, at);
                    quotes[TokTitle] = t.displayC.has(TokTitle) && needsQuoting(h.view());
                    if (t.displayC.mayNeedQuotes(quotes))
                        quoteFrom(out, at);
                } else {
                    out += literalDisplay(t.display, h.view().toString(), g);
                    quoteFrom(out, at);
                }
                // Destination URL
                out += QLatin1Char(',');
                at = out.size();
                if (fastGroup && t.destinationC.clean()) {
                    TokenValues v;
                    const QString b = t.destinationC.has(TokBase) ? m_capBase->get(t.destinationForm) : QString();
                    v[TokCampaign] = *g.campaign;
                    v[TokAdGroup] = *g.name;
                    v[TokBase] = b;
                    v[TokExtension] = *g.ext;
                    v[TokMix] = *g.mix;
                    t.destinationC.appendTo(out, v);
                    ReplaceUrlSpaces(out, m_c.replaceSpace, at);
                    if (t.destinationC.mayNeedQuotes(quotes))
                        quoteFrom(out, at);
                } else {
                    out += literalDestination(t, g);
                    quoteFrom(out, at);
                }
                block.endRow();
            }
        }
    }

private:
    // Appends a headline or description filled by the precompiled template
    // to target (a QString or the row), for values without braces.
    // headline: headlines capitalise the values also when combining with
    // alternatives, descriptions only without alternatives.
    template <class Text>
    void fillAdTextInto(Text& target, const CompiledTemplate& c, const GroupValues& g, bool headline, int maxLen)
    {
        TokenValues v;
        v[TokCampaign] = *g.campaign;
        v[TokAdGroup] = *g.name;
        QString baseV;
        QString extV;
        QString mixV;
        if (c.has(TokMix))
            mixV = m_capMix.get(c.form(TokMix));
        const bool noAlternatives = g.baseAlt->isEmpty() && g.extAlt->isEmpty();
        if (headline || noAlternatives) {
            if (c.has(TokBase))
                baseV = m_capBase->get(c.form(TokBase));
            if (c.has(TokExtension))
                extV = m_capExt->get(c.form(TokExtension));
        } else {
            baseV = *g.base;
            extV = *g.ext;
        }
        if (noAlternatives) {
            v[TokBase] = baseV;
            v[TokExtension] = extV;
            v[TokMix] = mixV;
            c.appendTo(target, v);
            return;
        }
        const bool hasBase = c.has(TokBase);
        const bool hasExt = c.has(TokExtension);
        const qsizetype fixed = c.literalLength() + c.count(TokCampaign) * g.campaign->size()
            + c.count(TokAdGroup) * g.name->size() + c.count(TokMix) * TokenText(TokMix).size();
        auto lengthOf = [&](CombineChoice choice) -> qsizetype {
            if (choice == CombineChoice::BaseAltAlone)
                return g.baseAlt->size();
            const qsizetype b = ChoiceUsesBaseAlt(choice) ? g.baseAlt->size() : baseV.size();
            const qsizetype e = ChoiceUsesExtAlt(choice) ? g.extAlt->size() : extV.size();
            return fixed + c.count(TokBase) * b + c.count(TokExtension) * e;
        };
        const CombineChoice choice = ChooseCombination(hasBase, hasExt, g.baseAlt->isEmpty(), g.extAlt->isEmpty(),
                                                       qint16(maxLen), lengthOf);
        QStringView combined;
        if (choice == CombineChoice::BaseAltAlone) {
            combined = *g.baseAlt;
        } else {
            v[TokBase] = ChoiceUsesBaseAlt(choice) ? *g.baseAlt : baseV;
            v[TokExtension] = ChoiceUsesExtAlt(choice) ? *g.extAlt : extV;
            m_combined.clear();
            c.appendTo(m_combined, v); // "{mix}" left as typed
            combined = m_combined.view();
        }
        combined = TrimSpaces(combined);
        if (!c.has(TokMix)) {
            target += combined;
            return;
        }
        QString withMix = combined.toString();
        withMix.replace(TokenText(TokMix), mixV, Qt::CaseInsensitive);
        target += withMix;
    }

    QString literalHeadline(const SlotTemplates& t, const GroupValues& g)
    {
        QString h = t.headline;
        h.replace(TokenText(TokCampaign), *g.campaign, Qt::CaseInsensitive);
        h.replace(TokenText(TokAdGroup), *g.name, Qt::CaseInsensitive);
        const QString baseValue = CapitalizeX(*g.base, GetToken(h, TokenText(TokBase)), m_c.capitalization);
        const QString extValue = CapitalizeX(*g.ext, GetToken(h, TokenText(TokExtension)), m_c.capitalization);
        if (g.baseAlt->isEmpty() && g.extAlt->isEmpty()) {
            h.replace(TokenText(TokBase), baseValue, Qt::CaseInsensitive);
            h.replace(TokenText(TokExtension), extValue, Qt::CaseInsensitive);
        } else {
            h = CombineKeywords(h, baseValue, extValue, *g.baseAlt, *g.extAlt, kHeadlineLimit);
        }
        h.replace(TokenText(TokMix), CapitalizeX(*g.mix, GetToken(h, TokenText(TokMix)), m_c.capitalization),
                  Qt::CaseInsensitive);
        return h;
    }

    QString literalDescription(const QString& typedQuoted, const GroupValues& g)
    {
        QString d = typedQuoted;
        d.replace(TokenText(TokCampaign), *g.campaign, Qt::CaseInsensitive);
        d.replace(TokenText(TokAdGroup), *g.name, Qt::CaseInsensitive);
        if (g.baseAlt->isEmpty() && g.extAlt->isEmpty()) {
            d.replace(TokenText(TokBase), CapitalizeX(*g.base, GetToken(d, TokenText(TokBase)), m_c.capitalization),
                      Qt::CaseInsensitive);
            d.replace(TokenText(TokExtension),
                      CapitalizeX(*g.ext, GetToken(d, TokenText(TokExtension)), m_c.capitalization),
                      Qt::CaseInsensitive);
        } else {
            d = CombineKeywords(d, *g.base, *g.ext, *g.baseAlt, *g.extAlt, kDescriptionLimit);
        }
        d.replace(TokenText(TokMix), CapitalizeX(*g.mix, GetToken(d, TokenText(TokMix)), m_c.capitalization),
                  Qt::CaseInsensitive);
        return d;
    }

    QString literalDisplay(const QString& typed, const QString& headline, const GroupValues& g)
    {
        QString u = typed;
        u.replace(TokenText(TokTitle), headline, Qt::CaseInsensitive);
        u.replace(TokenText(TokCampaign), *g.campaign, Qt::CaseInsensitive);
        u.replace(TokenText(TokAdGroup), *g.name, Qt::CaseInsensitive);
        u.replace(TokenText(TokBase), CapitalizeX(*g.base, GetToken(u, TokenText(TokBase)), m_c.capitalization),
                  Qt::CaseInsensitive);
        u.replace(TokenText(TokExtension),
                  CapitalizeX(*g.ext, GetToken(u, TokenText(TokExtension)), m_c.capitalization), Qt::CaseInsensitive);
        u.replace(TokenText(TokMix), CapitalizeX(*g.mix, GetToken(u, TokenText(TokMix)), m_c.capitalization),
                  Qt::CaseInsensitive);
        ReplaceUrlSpaces(u, m_c.replaceSpace);
        return u;
    }

    QString literalDestination(const SlotTemplates& t, const GroupValues& g)
    {
        QString u = t.destination;
        u.replace(TokenText(TokCampaign), *g.campaign, Qt::CaseInsensitive);
        u.replace(TokenText(TokAdGroup), *g.name, Qt::CaseInsensitive);
        u.replace(TokenText(TokBase), CapitalizeX(*g.base, t.destinationForm, m_c.capitalization), Qt::CaseInsensitive);
        u.replace(TokenText(TokExtension), *g.ext, Qt::CaseInsensitive);
        u.replace(TokenText(TokMix), *g.mix, Qt::CaseInsensitive);
        ReplaceUrlSpaces(u, m_c.replaceSpace);
        return u;
    }

    CapMemo& capsOf(std::vector<std::unique_ptr<CapMemo>>& table, qint32 element, const QString& value)
    {
        if (element < 0) {
            m_noKeywordCaps.reset(value);
            return m_noKeywordCaps;
        }
        if (table.size() <= size_t(element))
            table.resize(size_t(element) + 1);
        std::unique_ptr<CapMemo>& memo = table[size_t(element)];
        if (!memo) {
            memo = std::make_unique<CapMemo>(m_c.capitalization);
            memo->reset(value);
        }
        return *memo;
    }

    const BuildContext& m_ctx;
    const CampaignData& m_c;
    const KeywordLists& m_lists;
    const AdGroupList& m_groups;
    const std::array<SlotTemplates, CampaignData::AdSlotCount>& m_slots;
    const QString m_campaign;

    // Capitalised keywords per element and typed form, kept for every block
    // this formatter makes.
    std::vector<std::unique_ptr<CapMemo>> m_baseCaps;
    std::vector<std::unique_ptr<CapMemo>> m_extCaps;
    CapMemo m_noKeywordCaps{m_c.capitalization};
    CapMemo* m_capBase = nullptr;
    CapMemo* m_capExt = nullptr;
    CapMemo m_capMix{m_c.capitalization};
    RowText m_headline;
    RowText m_combined; // a text combined with alternatives, before trimming
};

} // namespace

void WriteAdsFile(BuildContext& context, RowWriter& file)
{
    const AdTemplates templates(context.campaign);
    TitleWarnings warnings;
    context.writeRows(
        GenerationPhase::AdsFile, file, context.groups.lastIndex(),
        [&] {
            return [formatter = std::make_shared<AdRowFormatter>(context, templates)](
                       qsizetype first, qsizetype last, RowBlock& block) { formatter->format(first, last, block); };
        },
        [&warnings](const RowBlock& block) {
            for (const QString& headline : block.notes())
                warnings.consider(headline);
        });
    context.result.titleWarnings = warnings.text;
    context.result.titleWarningCount = warnings.count;
}

} // namespace generator

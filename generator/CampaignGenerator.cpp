#include "generator/CampaignGenerator.h"

#include "generator/KeywordMixing.h"
#include "generator/TemplateText.h"

#include "core/modCommon.h"
#include "platform/Locations.h"
#include "settings/clsConnect.h"

#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QStringEncoder>

#include <memory>

namespace generator {

namespace {

constexpr qsizetype kChunkChars = qsizetype(1) << 20;
constexpr int kHeadlineLimit = 90;
constexpr int kDescriptionLimit = 90;
constexpr int kMaxTitleWarnings = kHeadlineLimit - 5;

const QString kCrlf = QStringLiteral("\r\n");

bool needsQuoting(QStringView field)
{
    return field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'));
}

// A field holding a comma or a double quote goes between double quotes with
// inner double quotes doubled, so that it stays one field.
void appendField(QString& out, QStringView field)
{
    if (!needsQuoting(field)) {
        out += field;
        return;
    }
    out += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
}

// Quotes the field that makes up the end of out, from index start, when needed.
void quoteTail(QString& out, qsizetype start)
{
    if (!needsQuoting(QStringView(out).mid(start)))
        return;
    const QString field = out.mid(start);
    out.truncate(start);
    appendField(out, field);
}

QString quotedField(const QString& field)
{
    QString s;
    appendField(s, field);
    return s;
}

// Headline or description as the ads file gives it for a typed text with a
// comma: between double quotes, each comma as "%2C".
QString quoteTypedAdText(const QString& typed, bool* quoted)
{
    *quoted = typed.contains(QLatin1Char(','));
    if (!*quoted)
        return typed;
    QString t = typed;
    t.replace(QLatin1Char(','), QStringLiteral("%2C"));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

bool inOwnQuotedForm(bool typedQuoted, const QString& out, qsizetype start = 0)
{
    const QStringView text = QStringView(out).mid(start);
    return typedQuoted && text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"'));
}

// One import file: rows gathered in a large buffer, written in chunks,
// committed atomically at the end.
class RowFile
{
public:
    explicit RowFile(const QString& path)
        : m_file(path)
        , m_encoder(QStringEncoder::Utf8)
    {
        m_buffer.reserve(kChunkChars + 4096);
    }

    bool open()
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            fail(QStringLiteral("Cannot create %1: %2").arg(m_file.fileName(), m_file.errorString()));
            return false;
        }
        return true;
    }

    QString& row() { return m_buffer; }

    void endRow()
    {
        m_buffer += kCrlf;
        ++m_rows;
        if (m_buffer.size() >= kChunkChars)
            flush();
    }

    qint64 rows() const { return m_rows; }
    qint64 bytes() const { return m_bytes; }

    // Returns the error description, or a null text when all went well.
    QString finish()
    {
        flush();
        // Every byte must reach the temporary file before it may replace the
        // old one: commit() alone does not report a failed final flush.
        if (m_error.isEmpty() && (!m_file.flush() || m_file.error() != QFileDevice::NoError))
            fail(QStringLiteral("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()));
        if (m_error.isEmpty() && !m_file.commit())
            fail(QStringLiteral("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()));
        if (!m_error.isEmpty())
            m_file.cancelWriting();
        return m_error;
    }

private:
    void fail(const QString& description)
    {
        if (m_error.isEmpty())
            m_error = description;
    }

    void flush()
    {
        if (m_buffer.isEmpty())
            return;
        if (m_error.isEmpty()) {
            const qsizetype need = m_encoder.requiredSpace(m_buffer.size());
            if (m_bytesBuffer.size() < need)
                m_bytesBuffer.resize(need);
            char* end = m_encoder.appendToBuffer(m_bytesBuffer.data(), m_buffer);
            const qint64 n = end - m_bytesBuffer.data();
            if (m_file.write(m_bytesBuffer.constData(), n) != n)
                fail(QStringLiteral("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()));
            else
                m_bytes += n;
        }
        m_buffer.resize(0);
    }

    QSaveFile m_file;
    QStringEncoder m_encoder;
    QString m_buffer;
    QByteArray m_bytesBuffer;
    QString m_error;
    qint64 m_rows = 0;
    qint64 m_bytes = 0;
};

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
        for (const auto& [f, r] : m_memo) {
            if (f == form)
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
        text += kCrlf + h;
        ++count;
    }
};

// One ad slot's templates, prepared once per build.
struct SlotTemplates {
    bool filled = false;
    QString typedHeadline;
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

class Generator
{
public:
    Generator(const GenerationInput& input, const GenerationCallbacks& callbacks)
        : m_in(input)
        , m_cb(callbacks)
        , m_c(input.campaign)
        , m_nameOptions(GroupNameOptions::of(input.campaign))
        , m_mixOptions(MixOptions::of(input.campaign))
    {
        m_campaignBrace = HasBrace(input.campaignName);
    }

    GenerationResult run()
    {
        m_label = QStringLiteral("log point 11");
        m_lists = KeywordLists::fromTexts(m_c.baseKeywords, m_c.extensionKeywords);
        m_label = QStringLiteral("log point 20");

        progress(GenerationPhase::MixingKeywords, -1, -1);
        m_label = QStringLiteral("log point 21");
        modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns: mixing keywords ..."));
        m_records = MixKeywords(m_lists, m_mixOptions, &m_label);

        modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns: create ad groups ..."));
        progress(GenerationPhase::CreatingAdGroups, -1, -1);
        m_groups = FormAdGroups(m_lists, m_mixOptions, m_c.customGroup, m_nameOptions);

        modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns: create keyword file ..."));
        writeKeywordFile();
        modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns: create ads file ..."));
        writeAdsFile();
        modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns: create adgroup files ..."));
        writeAdGroupFile();

        m_result.titleWarnings = m_warnings.text;
        m_result.titleWarningCount = m_warnings.count;
        m_result.stepLabel = m_label;
        return m_result;
    }

private:
    void progress(GenerationPhase phase, qsizetype index, qsizetype last)
    {
        if (m_cb.progress)
            m_cb.progress(phase, index, last);
    }

    void reportError(const QString& description)
    {
        if (description.isEmpty())
            return;
        modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns_Error: ") + description + QStringLiteral(" - ") + m_label);
        m_result.errors << description;
        if (m_cb.error)
            m_cb.error(description);
    }

    QString filePath(const QString& name) const
    {
        return platform::Locations::join(m_in.campaignFolder, name);
    }

    bool literalOnly() const { return detail::literalFillOnly(); }

    // ---------------------------------------------------------------- keywords

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

    QString keywordGroup(const RecordRef& r)
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

    void writeKeywordFile()
    {
        static const char* const kType[3] = {",Broad,", ",Phrase,", ",Exact,"};
        static const char* const kWord[3] = {"broad", "phrase", "exact"};
        const bool ticked[3] = {m_c.broadMatch, m_c.phraseMatch, m_c.exactMatch};
        const QString bids[3] = {quotedField(m_c.broadBid), quotedField(m_c.phraseBid), quotedField(m_c.exactBid)};
        const QString words[3] = {QLatin1String(kWord[0]), QLatin1String(kWord[1]), QLatin1String(kWord[2])};
        const QString types[3] = {QLatin1String(kType[0]), QLatin1String(kType[1]), QLatin1String(kType[2])};
        const QString campaign = quotedField(m_in.campaignName);

        progress(GenerationPhase::KeywordFile, -1, -1);

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

        const QString& tmpl = m_c.urlTemplate;
        const bool withUrl = !tmpl.isEmpty();
        const CompiledTemplate urlC(tmpl, {TokBase, TokExtension, TokMix, TokCampaign, TokAdGroup, TokMatch});
        const bool urlFast = urlC.clean() && !m_campaignBrace && !literalOnly();

        RowFile file(filePath(QStringLiteral("AdwordsKeywords.csv")));
        file.open();

        std::vector<QString> pieces;
        QString url;
        const qsizetype last = qsizetype(m_records.size()) - 1;
        QString lastGroup;
        qint32 lastGroupBase = -2, lastGroupExt = -2;
        quint8 lastGroupMix = 0xff;
        bool lastGroupQuoted = false;
        bool lastGroupBrace = false;
        for (qsizetype i = 0; i <= last; ++i) {
            if (i % 100 == 0)
                progress(GenerationPhase::KeywordFile, i, last);
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
            const bool keywordQuoted = needsQuoting(keyword);

            const QString& b = BaseText(m_lists, r);
            const QString& e = ExtText(m_lists, r);
            bool fast = false;
            size_t pieceCount = 0;
            bool piecesQuoted = false;
            if (withUrl) {
                const bool braces = (r.base >= 0 && m_lists.base[size_t(r.base)].braces)
                    || (r.ext >= 0 && m_lists.ext[size_t(r.ext)].braces) || lastGroupBrace;
                fast = urlFast && !braces;
                if (fast) {
                    std::array<const QString*, TokKindCount> v{};
                    v[TokBase] = &b;
                    v[TokExtension] = &e;
                    v[TokMix] = &mix;
                    v[TokCampaign] = &m_in.campaignName;
                    v[TokAdGroup] = &group;
                    pieceCount = urlC.appendPieces(pieces, v);
                    for (size_t k = 0; k < pieceCount; ++k) {
                        ReplaceUrlSpaces(pieces[k], m_c.replaceSpace);
                        piecesQuoted = piecesQuoted || needsQuoting(pieces[k]);
                    }
                } else {
                    url = tmpl;
                    url.replace(TokenText(TokBase), b, Qt::CaseInsensitive);
                    url.replace(TokenText(TokExtension), e, Qt::CaseInsensitive);
                    url.replace(TokenText(TokMix), mix, Qt::CaseInsensitive);
                    url.replace(TokenText(TokCampaign), m_in.campaignName, Qt::CaseInsensitive);
                    url.replace(TokenText(TokAdGroup), group, Qt::CaseInsensitive);
                    ReplaceUrlSpaces(url, m_c.replaceSpace);
                }
            }
            for (int t = 0; t < 3; ++t) {
                if (!ticked[t])
                    continue;
                QString& out = file.row();
                out += campaign;
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
                out += bids[t];
                if (withUrl) {
                    if (fast && !piecesQuoted) {
                        const qsizetype at = out.size();
                        out += QLatin1Char(',');
                        out += pieces[0];
                        for (size_t k = 1; k < pieceCount; ++k) {
                            out += words[t];
                            out += pieces[k];
                        }
                        if (out.size() == at + 1)
                            out.truncate(at); // no URL
                    } else {
                        QString u;
                        if (fast) {
                            u = pieces[0];
                            for (size_t k = 1; k < pieceCount; ++k) {
                                u += words[t];
                                u += pieces[k];
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
                file.endRow();
            }
        }
        m_result.keywordRows = file.rows();
        reportError(file.finish());
    }

    // --------------------------------------------------------------------- ads

    void prepareSlots()
    {
        for (size_t s = 0; s < m_c.ads.size(); ++s) {
            const AdSlotData& ad = m_c.ads[s];
            SlotTemplates& t = m_slots[s];
            t.filled = !ad.headline.isEmpty();
            if (!t.filled)
                continue;
            t.typedHeadline = ad.headline;
            QString h = quoteTypedAdText(ad.headline, &t.headlineQuoted);
            if (h.contains(QLatin1Char('[')) && h.contains(QLatin1Char(']'))) {
                if (!m_connect)
                    m_connect = std::make_unique<clsConnect>();
                QString copy = h;
                QString sec = m_connect->FindSection(copy, QStringLiteral("["), QStringLiteral("]"), false);
                if (sec.size() > 2)
                    sec = sec.mid(1);
                t.alternative = sec;
                h.replace(QLatin1Char('[') + sec + QLatin1Char(']'), QString(), Qt::CaseInsensitive);
                h = modCommon::Trim(h);
            }
            t.headline = h;
            t.headlineC = CompiledTemplate(h, {TokCampaign, TokAdGroup, TokBase, TokExtension, TokMix});
            const QString* typedDescr[2] = {&ad.description1, &ad.description2};
            for (int d = 0; d < 2; ++d) {
                t.description[d] = quoteTypedAdText(*typedDescr[d], &t.descriptionQuoted[d]);
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
    }

    // Headline or description filled by the precompiled template, for values
    // without braces. capitalised: headlines capitalise the values also when
    // combining with alternatives, descriptions only without alternatives.
    QString fillAdText(const CompiledTemplate& c, const GroupValues& g, bool headline, int maxLen)
    {
        QString out;
        fillAdTextInto(out, c, g, headline, maxLen);
        return out;
    }

    // Appends the filled text to out (which may already hold other text).
    void fillAdTextInto(QString& target, const CompiledTemplate& c, const GroupValues& g, bool headline, int maxLen)
    {
        std::array<const QString*, TokKindCount> v{};
        v[TokCampaign] = g.campaign;
        v[TokAdGroup] = g.name;
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
            v[TokBase] = &baseV;
            v[TokExtension] = &extV;
            v[TokMix] = &mixV;
            c.appendTo(target, v);
            return;
        }
        QString out;
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
        if (choice == CombineChoice::BaseAltAlone) {
            out = modCommon::Trim(*g.baseAlt);
        } else {
            v[TokBase] = ChoiceUsesBaseAlt(choice) ? g.baseAlt : &baseV;
            v[TokExtension] = ChoiceUsesExtAlt(choice) ? g.extAlt : &extV;
            c.appendTo(out, v); // "{mix}" left as typed
            out = modCommon::Trim(out);
        }
        if (c.has(TokMix))
            out.replace(TokenText(TokMix), mixV, Qt::CaseInsensitive);
        target += out;
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

    void writeAdsFile()
    {
        progress(GenerationPhase::AdsFile, -1, -1);
        m_warnings = TitleWarnings();
        prepareSlots();
        const QString campaign = quotedField(m_in.campaignName);

        RowFile file(filePath(QStringLiteral("AdwordsAds.csv")));
        file.open();

        const qsizetype last = m_groups.lastIndex();
        for (qsizetype gi = 0; gi <= last; ++gi) {
            if (gi % 100 == 0)
                progress(GenerationPhase::AdsFile, gi, last);
            const QString& name = m_groups.names[size_t(gi)];
            if (name.isEmpty())
                continue;
            const RecordRef& r = m_groups.groups[size_t(gi)];
            const QString mix = MixText(m_lists, r);
            const GroupValues g{&m_in.campaignName, &name, &BaseText(m_lists, r), &ExtText(m_lists, r), &mix,
                                &BaseAltText(m_lists, r), &ExtAltText(m_lists, r)};
            const bool fastGroup = !literalOnly() && !m_campaignBrace && !(r.flags & RecordRef::NameHasBrace)
                && !(r.base >= 0 && m_lists.base[size_t(r.base)].braces)
                && !(r.ext >= 0 && m_lists.ext[size_t(r.ext)].braces);
            m_capBase = &capsOf(m_baseCaps, r.base, *g.base);
            m_capExt = &capsOf(m_extCaps, r.ext, *g.ext);
            m_capMix.reset(mix);
            const bool nameQuoted = needsQuoting(name);

            for (const SlotTemplates& t : m_slots) {
                if (!t.filled)
                    continue;
                // Headline
                QString h = fastGroup && t.headlineC.clean() ? fillAdText(t.headlineC, g, true, kHeadlineLimit)
                                                             : literalHeadline(t, g);
                if (h.size() > kHeadlineLimit) {
                    if (!t.alternative.isEmpty())
                        h = t.alternative;
                    else
                        m_warnings.consider(h);
                }

                QString& out = file.row();
                out += campaign;
                out += QLatin1Char(',');
                if (nameQuoted)
                    appendField(out, name);
                else
                    out += name;
                out += QLatin1Char(',');
                if (inOwnQuotedForm(t.headlineQuoted, h))
                    out += h;
                else
                    appendField(out, h);
                // Descriptions
                for (int k = 0; k < 2; ++k) {
                    out += QLatin1Char(',');
                    const qsizetype at = out.size();
                    if (fastGroup && t.descriptionC[k].clean())
                        fillAdTextInto(out, t.descriptionC[k], g, false, kDescriptionLimit);
                    else
                        out += literalDescription(t.description[k], g);
                    if (!inOwnQuotedForm(t.descriptionQuoted[k], out, at))
                        quoteTail(out, at);
                }
                // Display URL
                out += QLatin1Char(',');
                qsizetype at = out.size();
                if (fastGroup && t.displayC.clean() && !HasBrace(h)) {
                    std::array<const QString*, TokKindCount> v{};
                    const QString b = t.displayC.has(TokBase) ? m_capBase->get(t.displayC.form(TokBase)) : QString();
                    const QString e =
                        t.displayC.has(TokExtension) ? m_capExt->get(t.displayC.form(TokExtension)) : QString();
                    const QString m = t.displayC.has(TokMix) ? m_capMix.get(t.displayC.form(TokMix)) : QString();
                    v[TokTitle] = &h;
                    v[TokCampaign] = g.campaign;
                    v[TokAdGroup] = g.name;
                    v[TokBase] = &b;
                    v[TokExtension] = &e;
                    v[TokMix] = &m;
                    t.displayC.appendTo(out, v);
                    ReplaceUrlSpaces(out, m_c.replaceSpace, at);
                } else {
                    out += literalDisplay(t.display, h, g);
                }
                quoteTail(out, at);
                // Destination URL
                out += QLatin1Char(',');
                at = out.size();
                if (fastGroup && t.destinationC.clean()) {
                    std::array<const QString*, TokKindCount> v{};
                    const QString b = t.destinationC.has(TokBase) ? m_capBase->get(t.destinationForm) : QString();
                    v[TokCampaign] = g.campaign;
                    v[TokAdGroup] = g.name;
                    v[TokBase] = &b;
                    v[TokExtension] = g.ext;
                    v[TokMix] = g.mix;
                    t.destinationC.appendTo(out, v);
                    ReplaceUrlSpaces(out, m_c.replaceSpace, at);
                } else {
                    out += literalDestination(t, g);
                }
                quoteTail(out, at);
                file.endRow();
            }
        }
        m_result.adRows = file.rows();
        reportError(file.finish());
    }

    // --------------------------------------------------------------- ad groups

    void writeAdGroupFile()
    {
        progress(GenerationPhase::AdGroupFile, -1, -1);
        if (m_c.maxCPC.isEmpty() && m_c.maxContentCPC.isEmpty() && m_c.placementMaxCPC.isEmpty()) {
            m_result.adGroupFileSkipped = true;
            return;
        }
        RowFile file(filePath(QStringLiteral("AdwordsAdGroups.csv")));
        file.open();
        QString maxCpc = modCommon::Trim(m_c.maxCPC);
        if (maxCpc.isEmpty())
            maxCpc = QStringLiteral("0.00");
        const QString campaign = quotedField(m_in.campaignName);
        const bool content = !m_c.maxContentCPC.isEmpty();
        const bool placement = !m_c.placementMaxCPC.isEmpty();
        const QString maxCpcField = quotedField(maxCpc);
        QString tail;
        if (content)
            tail += QLatin1Char(',') + quotedField(m_c.maxContentCPC);
        else if (placement)
            tail += QStringLiteral(",0.00");
        if (placement)
            tail += QLatin1Char(',') + quotedField(m_c.placementMaxCPC);

        const qsizetype last = m_groups.lastIndex();
        for (qsizetype gi = 0; gi <= last; ++gi) {
            if (gi % 100 == 0)
                progress(GenerationPhase::AdGroupFile, gi, last);
            const QString& name = m_groups.names[size_t(gi)];
            if (name.isEmpty())
                continue;
            QString& out = file.row();
            out += campaign;
            out += QLatin1Char(',');
            appendField(out, !content && !placement ? modCommon::Trim(name) : name);
            out += QLatin1Char(',');
            out += maxCpcField;
            out += tail;
            file.endRow();
        }
        m_result.adGroupRows = file.rows();
        reportError(file.finish());
    }

    const GenerationInput& m_in;
    const GenerationCallbacks& m_cb;
    const CampaignData& m_c;
    GroupNameOptions m_nameOptions;
    MixOptions m_mixOptions;
    bool m_campaignBrace = false;
    QString m_label;

    KeywordLists m_lists;
    std::vector<RecordRef> m_records;
    AdGroupList m_groups;

    // Keyword file group lookup.
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

    std::unique_ptr<clsConnect> m_connect;
    std::array<SlotTemplates, 4> m_slots;
    // Capitalised keywords per element and typed form, kept for the whole file.
    std::vector<std::unique_ptr<CapMemo>> m_baseCaps;
    std::vector<std::unique_ptr<CapMemo>> m_extCaps;
    CapMemo m_noKeywordCaps{m_c.capitalization};
    CapMemo* m_capBase = nullptr;
    CapMemo* m_capExt = nullptr;
    CapMemo m_capMix{m_c.capitalization};
    TitleWarnings m_warnings;
    GenerationResult m_result;
};

} // namespace

QString GenerationStatusText(GenerationPhase phase, qsizetype index, qsizetype lastIndex)
{
    const QString prefix = QStringLiteral("Please wait while creating campaign files: ");
    switch (phase) {
    case GenerationPhase::MixingKeywords:
        return prefix + QStringLiteral("mixing keywords ...");
    case GenerationPhase::CreatingAdGroups:
        return prefix + QStringLiteral("create ad groups ...");
    case GenerationPhase::KeywordFile:
        if (index < 0)
            return prefix + QStringLiteral("create keyword files ...");
        return prefix + QStringLiteral("create keyword files ...%1/%2").arg(index).arg(lastIndex);
    case GenerationPhase::AdsFile:
        if (index < 0)
            return QString();
        return prefix + QStringLiteral("create ad file ...%1 / %2").arg(index).arg(lastIndex);
    case GenerationPhase::AdGroupFile:
        if (index < 0)
            return prefix + QStringLiteral("create ad group files ...");
        return prefix + QStringLiteral("create ad group files ...%1 / %2").arg(index).arg(lastIndex);
    }
    return QString();
}

GenerationResult GenerateCampaignFiles(const GenerationInput& input, const GenerationCallbacks& callbacks)
{
    Generator generator(input, callbacks);
    return generator.run();
}

} // namespace generator

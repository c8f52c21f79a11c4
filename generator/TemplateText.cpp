#include "generator/TemplateText.h"

#include "core/modCommon.h"

#include <QStringList>

namespace generator {

namespace {

bool g_literalFillOnly = false;

// Length of the first character of text in UTF-16 units: a letter outside
// the Basic Multilingual Plane is a surrogate pair, one character.
qsizetype firstCharLength(QStringView text)
{
    return text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
}

// A character of form counts as upper (lower) case when it equals its upper
// (lower) case form; a missing character counts as both. The form is taken
// as whole characters, so that a surrogate pair is one character.
bool isUpperAt(const QList<uint>& form, qsizetype i)
{
    return i < 0 || i >= form.size() || QChar::toUpper(form.at(i)) == form.at(i);
}

bool isLowerAt(const QList<uint>& form, qsizetype i)
{
    return i < 0 || i >= form.size() || QChar::toLower(form.at(i)) == form.at(i);
}

QString capitaliseWord(const QString& word)
{
    if (word.isEmpty())
        return word;
    const qsizetype first = firstCharLength(word);
    return word.left(first).toUpper() + word.mid(first).toLower();
}

} // namespace

namespace detail {
void setLiteralFillOnly(bool on) { g_literalFillOnly = on; }
bool literalFillOnly() { return g_literalFillOnly; }
} // namespace detail

bool HasBrace(const QString& text)
{
    return text.contains(QLatin1Char('{')) || text.contains(QLatin1Char('}'));
}

QString GetToken(const QString& text, const QString& token)
{
    const qsizetype p = text.indexOf(token, 0, Qt::CaseInsensitive);
    if (p < 0)
        return text;
    return text.mid(p + 1, token.size() - 2);
}

QString CapitalizeX(const QString& value, const QString& form, bool capitalization)
{
    if (value.isEmpty() || !capitalization)
        return value;
    const QList<uint> chars = form.toUcs4();
    const qsizetype last = chars.size() - 1;
    if (isUpperAt(chars, 0) && isLowerAt(chars, 1)) {
        QString result;
        const QStringList words = value.split(QLatin1Char(' '));
        for (const QString& w : words) {
            const QString word = capitaliseWord(modCommon::Trim(w));
            if (result.isEmpty())
                result = word;
            else
                result += QLatin1Char(' ') + word;
        }
        return result;
    }
    if (isUpperAt(chars, 0) && isUpperAt(chars, last))
        return value.toUpper();
    if (isLowerAt(chars, 0) && isLowerAt(chars, last))
        return value.toLower();
    return QString();
}

QString FormatGroupName(const QString& name, const GroupNameOptions& options)
{
    QString s = modCommon::Trim(name);
    if (options.extraGroupText == ExtraGroupText::Prefix)
        s = options.extraText + QLatin1Char(' ') + s;
    else if (options.extraGroupText == ExtraGroupText::Suffix)
        s = s + QLatin1Char(' ') + options.extraText;
    s = modCommon::Trim(s);
    if (options.capitalisation == Capitalisation::UpperCase)
        s = s.toUpper();
    else if (options.capitalisation == Capitalisation::LowerCase)
        s = s.toLower();
    switch (options.replaceGroupSpace) {
    case GroupSpace::Hyphen: s.replace(QLatin1Char(' '), QLatin1Char('-')); break;
    case GroupSpace::Underscore: s.replace(QLatin1Char(' '), QLatin1Char('_')); break;
    case GroupSpace::Plus: s.replace(QLatin1Char(' '), QLatin1Char('+')); break;
    case GroupSpace::Space: break;
    }
    return s;
}

GroupNameOptions GroupNameOptions::of(const CampaignData& campaign)
{
    return GroupNameOptions{campaign.extraGroupText, campaign.extraGroupTextValue, campaign.capitalisation,
                            campaign.replaceGroupSpace};
}

QString CombineKeywords(const QString& tmpl, const QString& base, const QString& ext,
                        const QString& baseAlt, const QString& extAlt, qint16 maxLen)
{
    static const QString kBase = QStringLiteral("{base}");
    static const QString kExt = QStringLiteral("{extension}");
    const bool hasBase = tmpl.contains(kBase, Qt::CaseInsensitive);
    const bool hasExt = tmpl.contains(kExt, Qt::CaseInsensitive);
    auto build = [&](CombineChoice c) -> QString {
        if (c == CombineChoice::BaseAltAlone)
            return baseAlt;
        if (c == CombineChoice::Template)
            return tmpl;
        QString t = tmpl;
        if (hasBase)
            t.replace(kBase, ChoiceUsesBaseAlt(c) ? baseAlt : base, Qt::CaseInsensitive);
        if (hasExt)
            t.replace(kExt, ChoiceUsesExtAlt(c) ? extAlt : ext, Qt::CaseInsensitive);
        return t;
    };
    const CombineChoice choice = ChooseCombination(hasBase, hasExt, baseAlt.isEmpty(), extAlt.isEmpty(), maxLen,
                                                   [&](CombineChoice c) { return build(c).size(); });
    return modCommon::Trim(build(choice));
}

QString RemoveReplaceField(const QString& text)
{
    if (!text.contains(QLatin1Char('[')))
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('['), pos);
        if (open < 0) {
            result += QStringView(text).mid(pos);
            break;
        }
        result += QStringView(text).mid(pos, open - pos);
        const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0) {
            // No closing bracket follows: every remaining "[" goes, the text stays.
            for (const QChar c : QStringView(text).mid(open + 1)) {
                if (c != QLatin1Char('['))
                    result += c;
            }
            break;
        }
        pos = close + 1;
    }
    return result;
}

void ReplaceUrlSpaces(QString& text, ReplaceSpace replaceSpace, qsizetype from)
{
    if (!QStringView(text).mid(from).contains(QLatin1Char(' ')))
        return;
    QChar* d = text.data();
    const qsizetype n = text.size();
    if (replaceSpace == ReplaceSpace::Blank) {
        qsizetype w = from;
        for (qsizetype r = from; r < n; ++r) {
            if (d[r] != QLatin1Char(' '))
                d[w++] = d[r];
        }
        text.truncate(w);
        return;
    }
    const QChar with = replaceSpace == ReplaceSpace::Hyphen ? QLatin1Char('-')
        : replaceSpace == ReplaceSpace::Underscore          ? QLatin1Char('_')
                                                            : QLatin1Char('+');
    for (qsizetype r = from; r < n; ++r) {
        if (d[r] == QLatin1Char(' '))
            d[r] = with;
    }
}

QString TokenText(TokenKind kind)
{
    switch (kind) {
    case TokCampaign: return QStringLiteral("{campaign}");
    case TokAdGroup: return QStringLiteral("{adgroup}");
    case TokBase: return QStringLiteral("{base}");
    case TokExtension: return QStringLiteral("{extension}");
    case TokMix: return QStringLiteral("{mix}");
    case TokTitle: return QStringLiteral("{title}");
    case TokMatch: return QStringLiteral("{match}");
    default: return QString();
    }
}

CompiledTemplate::CompiledTemplate(const QString& text, std::initializer_list<TokenKind> tokens)
    : m_text(text)
{
    std::vector<std::pair<TokenKind, QString>> known;
    for (TokenKind k : tokens)
        known.emplace_back(k, TokenText(k));
    QString literal;
    auto flushLiteral = [&] {
        if (!literal.isEmpty()) {
            m_literalLength += literal.size();
            m_segments.push_back({TokLiteral, literal});
            literal.clear();
        }
    };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('{')) {
            bool matched = false;
            for (const auto& [kind, tok] : known) {
                if (QStringView(text).mid(i, tok.size()).compare(tok, Qt::CaseInsensitive) == 0) {
                    flushLiteral();
                    const QString typed = text.mid(i, tok.size());
                    if (m_count[kind] == 0)
                        m_form[kind] = typed.mid(1, typed.size() - 2);
                    ++m_count[kind];
                    m_segments.push_back({kind, typed});
                    i += tok.size();
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
            m_clean = false;
        } else if (c == QLatin1Char('}')) {
            m_clean = false;
        }
        literal += c;
        ++i;
    }
    flushLiteral();
}

void CompiledTemplate::appendTo(QString& out, const std::array<const QString*, TokKindCount>& values) const
{
    for (const Segment& s : m_segments) {
        const QString* v = s.kind == TokLiteral ? nullptr : values[s.kind];
        out += v ? *v : s.text;
    }
}

size_t CompiledTemplate::appendPieces(std::vector<QString>& pieces,
                                      const std::array<const QString*, TokKindCount>& values) const
{
    size_t n = 1;
    auto piece = [&](size_t k) -> QString& {
        if (pieces.size() <= k)
            pieces.resize(k + 1);
        return pieces[k];
    };
    piece(0).resize(0);
    for (const Segment& s : m_segments) {
        if (s.kind == TokMatch) {
            piece(n++).resize(0);
            continue;
        }
        const QString* v = s.kind == TokLiteral ? nullptr : values[s.kind];
        piece(n - 1) += v ? *v : s.text;
    }
    return n;
}

} // namespace generator

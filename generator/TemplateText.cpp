#include "generator/TemplateText.h"

#include "core/Conversions.h"
#include "generator/ImportFormat.h"

#include <QStringList>

#include <algorithm>

namespace generator {

namespace {

bool g_literalFillOnly = false;

// Length of the first character of text in UTF-16 units: a letter outside
// the Basic Multilingual Plane is a surrogate pair, one character.
qsizetype firstCharLength(QStringView text)
{
    return text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
}

// What a typed form asks of the value put in its place.
enum class CaseRule { EachWord, Upper, Lower, Vanish };

// The characters of form that decide its rule: the first, the second and
// the last, a surrogate pair counting as one character; 0 where form has no
// such character (a missing character counts as both cases, as 0 does).
struct FormChars {
    char32_t first = 0;
    char32_t second = 0;
    char32_t last = 0;
};

FormChars formChars(QStringView form)
{
    std::array<char32_t, 2> leading{};
    qsizetype count = 0;
    char32_t last = 0;
    for (qsizetype i = 0; i < form.size();) {
        const qsizetype n = firstCharLength(form.mid(i));
        last = n == 2 ? QChar::surrogateToUcs4(form.at(i), form.at(i + 1)) : form.at(i).unicode();
        if (count < 2)
            leading[size_t(count)] = last;
        ++count;
        i += n;
    }
    return {leading[0], leading[1], last};
}

// A character counts as upper (lower) case when it equals its upper (lower)
// case form.
bool isUpper(char32_t c) { return QChar::toUpper(c) == c; }
bool isLower(char32_t c) { return QChar::toLower(c) == c; }

CaseRule caseRule(const QString& form)
{
    const FormChars c = formChars(form);
    if (isUpper(c.first) && isLower(c.second))
        return CaseRule::EachWord;
    if (isUpper(c.first) && isUpper(c.last))
        return CaseRule::Upper;
    if (isLower(c.first) && isLower(c.last))
        return CaseRule::Lower;
    return CaseRule::Vanish;
}

QString capitaliseWord(const QString& word)
{
    if (word.isEmpty())
        return word;
    const qsizetype first = firstCharLength(word);
    return word.left(first).toUpper() + word.mid(first).toLower();
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

char16_t asciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }
char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

// text in upper or lower case. Plain ASCII, as most keywords are, takes
// one pass; any other text goes through the full case mapping.
QString changeCase(QStringView text, bool upper)
{
    if (!isAscii(text))
        return upper ? text.toString().toUpper() : text.toString().toLower();
    QString result(text.size(), Qt::Uninitialized);
    std::transform(text.utf16(), text.utf16() + text.size(), reinterpret_cast<char16_t*>(result.data()),
                   upper ? asciiUpper : asciiLower);
    return result;
}


// value in the case that rule asks for (not Vanish). EachWord: each
// space-separated word with its first character in upper case and the rest
// in lower case; leading spaces go, every other space stays.
QString applyCase(const QString& value, CaseRule rule)
{
    qsizetype from = 0;
    if (rule == CaseRule::EachWord) {
        while (from < value.size() && value.at(from) == QLatin1Char(' '))
            ++from;
    }
    if (rule != CaseRule::EachWord)
        return changeCase(value, rule == CaseRule::Upper);
    if (!isAscii(value)) {
        QStringList words;
        for (const QStringView word : QStringView(value).mid(from).split(QLatin1Char(' ')))
            words << capitaliseWord(word.toString());
        return words.join(QLatin1Char(' '));
    }
    // Keywords are mostly plain ASCII: one pass, one allocation.
    QString result(value.size() - from, Qt::Uninitialized);
    QChar* out = result.data();
    bool wordStart = true;
    for (const QChar c : QStringView(value).mid(from)) {
        *out++ = QChar(wordStart ? asciiUpper(c.unicode()) : asciiLower(c.unicode()));
        wordStart = c == QLatin1Char(' ');
    }
    return result;
}

} // namespace

namespace detail {
void setLiteralFillOnly(bool on) { g_literalFillOnly = on; }
bool literalFillOnly() { return g_literalFillOnly; }
} // namespace detail

QStringView TrimSpaces(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

bool HasBrace(QStringView text)
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
    const CaseRule rule = caseRule(form);
    return rule == CaseRule::Vanish ? QString() : applyCase(value, rule);
}

QString FormatGroupName(QStringView name, const GroupNameOptions& options)
{
    QStringView s = TrimSpaces(name);
    QString withExtra;
    if (options.extraGroupText != ExtraGroupText::None) {
        const bool prefix = options.extraGroupText == ExtraGroupText::Prefix;
        withExtra.reserve(options.extraText.size() + 1 + s.size());
        withExtra += prefix ? QStringView(options.extraText) : s;
        withExtra += QLatin1Char(' ');
        withExtra += prefix ? s : QStringView(options.extraText);
        s = TrimSpaces(withExtra);
    }
    QString result = options.capitalisation == Capitalisation::None
        ? s.toString()
        : changeCase(s, options.capitalisation == Capitalisation::UpperCase);
    const char16_t with = options.replaceGroupSpace == GroupSpace::Hyphen ? u'-'
        : options.replaceGroupSpace == GroupSpace::Underscore             ? u'_'
        : options.replaceGroupSpace == GroupSpace::Plus                   ? u'+'
                                                                          : u' ';
    if (with != u' ' && result.contains(QLatin1Char(' '))) {
        char16_t* d = reinterpret_cast<char16_t*>(result.data());
        std::replace(d, d + result.size(), u' ', with);
    }
    return result;
}

GroupNameOptions GroupNameOptions::of(const CampaignData& campaign)
{
    return GroupNameOptions{campaign.extraGroupText, campaign.extraGroupTextValue, campaign.capitalisation,
                            campaign.replaceGroupSpace};
}

QString CombineKeywords(const QString& tmpl, const QString& base, const QString& ext,
                        const QString& baseAlt, const QString& extAlt, qint16 maxLen)
{
    static const QString kBase = TokenText(TokBase);
    static const QString kExt = TokenText(TokExtension);
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
    return Conversions::Trim(build(choice));
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

namespace {

// Replaces the spaces of [begin, end) as the option says; returns the new
// end (Blank removes them).
char16_t* replaceUrlSpaces(char16_t* begin, char16_t* end, ReplaceSpace replaceSpace)
{
    if (replaceSpace == ReplaceSpace::Blank)
        return std::remove(begin, end, u' ');
    const char16_t with = replaceSpace == ReplaceSpace::Hyphen ? u'-'
        : replaceSpace == ReplaceSpace::Underscore             ? u'_'
                                                               : u'+';
    std::replace(begin, end, u' ', with);
    return end;
}

} // namespace

void ReplaceUrlSpaces(QString& text, ReplaceSpace replaceSpace, qsizetype from)
{
    if (!QStringView(text).mid(from).contains(QLatin1Char(' ')))
        return; // nothing to change: no copy of a shared text
    char16_t* d = reinterpret_cast<char16_t*>(text.data());
    text.truncate(replaceUrlSpaces(d + from, d + text.size(), replaceSpace) - d);
}

void ReplaceUrlSpaces(RowText& text, ReplaceSpace replaceSpace, qsizetype from)
{
    char16_t* d = text.data();
    text.truncate(replaceUrlSpaces(d + from, d + text.size(), replaceSpace) - d);
}

namespace {

constexpr TemplateToken kTokens[] = {
    {TokBase, u"{base}", u"Base Keyword"},
    {TokExtension, u"{extension}", u"Extension Keyword"},
    {TokMix, u"{mix}", u"Mix Keyword"},
    {TokCampaign, u"{campaign}", u"Campaign"},
    {TokAdGroup, u"{adgroup}", u"Ad Group"},
    {TokMatch, u"{match}", u"Match Type"},
    {TokTitle, u"{title}", u"Ad Title"},
};

// A kind without its row would be replaced by no build and missing from the
// token key; of a kind with two rows one text would be ignored.
constexpr bool everyKindHasOneToken()
{
    for (int kind = TokLiteral; kind < TokKindCount; ++kind) {
        int rows = 0;
        for (const TemplateToken& token : kTokens)
            rows += token.kind == kind ? 1 : 0;
        if (rows != (kind == TokLiteral ? 0 : 1))
            return false;
    }
    return true;
}
static_assert(everyKindHasOneToken(), "each token kind but TokLiteral needs exactly one row in kTokens");

} // namespace

std::span<const TemplateToken> TemplateTokens()
{
    return kTokens;
}

QString TokenText(TokenKind kind)
{
    static const std::array<QString, TokKindCount> texts = [] {
        std::array<QString, TokKindCount> byKind;
        for (const TemplateToken& token : kTokens)
            byKind[token.kind] = token.text.toString();
        return byKind;
    }();
    return kind < TokKindCount ? texts[kind] : QString();
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
            m_literalQuotes = m_literalQuotes || ImportFormat::needsQuoting(literal);
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

void CompiledTemplate::shareForms(std::vector<QString>& pool)
{
    for (QString& form : m_form) {
        const auto same = std::find(pool.begin(), pool.end(), form);
        if (same == pool.end())
            pool.push_back(form);
        else
            form = *same;
    }
}

size_t CompiledTemplate::appendPieces(std::vector<RowText>& pieces, const TokenValues& values) const
{
    size_t n = 1;
    auto piece = [&](size_t k) -> RowText& {
        if (pieces.size() <= k)
            pieces.resize(k + 1);
        return pieces[k];
    };
    piece(0).clear();
    for (const Segment& s : m_segments) {
        if (s.kind == TokMatch) {
            piece(n++).clear();
            continue;
        }
        const std::optional<QStringView>& v = values[s.kind];
        piece(n - 1) += s.kind != TokLiteral && v ? *v : QStringView(s.text);
    }
    return n;
}

} // namespace generator

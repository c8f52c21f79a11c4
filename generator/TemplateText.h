#pragma once

#include "generator/CampaignData.h"
#include "generator/RowText.h"

#include <QString>
#include <QStringView>

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

// Text conventions of the generator: template tokens and their typed form,
// group-name formatting, alternatives under a length limit.
namespace generator {

// Options that shape an ad-group name.
struct GroupNameOptions {
    ExtraGroupText extraGroupText = ExtraGroupText::None;
    QString extraText; // txtExtraGroupText
    Capitalisation capitalisation = Capitalisation::UpperCase;
    GroupSpace replaceGroupSpace = GroupSpace::Hyphen;

    static GroupNameOptions of(const CampaignData& campaign);
};

// The inner name of token as typed at its first occurrence in text (case
// ignored), e.g. "Base" for "{Base}"; text itself when the token is absent.
QString GetToken(const QString& text, const QString& token);

// value in the letter case that the typed form asks for (only with the
// Capitalization tick; otherwise value unchanged).
QString CapitalizeX(const QString& value, const QString& form, bool capitalization);

QString FormatGroupName(QStringView name, const GroupNameOptions& options);

// Template with "{base}" / "{extension}" filled, falling back on the
// alternatives when the text would exceed maxLen; the result is trimmed.
QString CombineKeywords(const QString& tmpl, const QString& base, const QString& ext,
                        const QString& baseAlt, const QString& extAlt, qint16 maxLen);

// text without its "[...]" parts; a "[" without a later "]" is dropped.
QString RemoveReplaceField(const QString& text);

// Space replacement of URLs, in text from index from on.
void ReplaceUrlSpaces(QString& text, ReplaceSpace replaceSpace, qsizetype from = 0);
void ReplaceUrlSpaces(RowText& text, ReplaceSpace replaceSpace, qsizetype from);

bool HasBrace(QStringView text);

// text without its leading and trailing spaces.
QStringView TrimSpaces(QStringView text);

// ---------------------------------------------------------------------------
// Building blocks shared by the literal and the precompiled fill of a text.

enum TokenKind : quint8 { TokLiteral, TokCampaign, TokAdGroup, TokBase, TokExtension, TokMix, TokTitle, TokMatch, TokKindCount };

// A token that a build replaces, and what it stands for as the editors'
// token key names it.
struct TemplateToken {
    TokenKind kind;
    QStringView text;    // "{base}"; matched without regard to case
    QStringView meaning; // "Base Keyword"
};

// Every token a build replaces, one per kind (but TokLiteral), in the order
// the editors list them.
std::span<const TemplateToken> TemplateTokens();

// The token's text as TemplateTokens gives it; empty for TokLiteral.
QString TokenText(TokenKind kind);

// The value put in place of each token kind; none leaves the token as typed.
using TokenValues = std::array<std::optional<QStringView>, TokKindCount>;

// Which text CombineKeywords picks.
enum class CombineChoice { BaseExt, BaseExtAlt, BaseAltExtAlt, BaseAltExt, BaseAltAlone, Template };

// The decision of CombineKeywords, given whether the template holds each token
// and the length the template would have for a choice.
template <class LengthOf>
CombineChoice ChooseCombination(bool hasBase, bool hasExt, bool baseAltEmpty, bool extAltEmpty,
                                int maxLen, LengthOf lengthOf)
{
    auto fits = [&](CombineChoice c) { return lengthOf(c) <= maxLen; };
    if (hasBase && hasExt) {
        if (fits(CombineChoice::BaseExt))
            return CombineChoice::BaseExt;
        if (!extAltEmpty) {
            if (fits(CombineChoice::BaseExtAlt))
                return CombineChoice::BaseExtAlt;
            if (!baseAltEmpty) {
                if (fits(CombineChoice::BaseAltExtAlt))
                    return CombineChoice::BaseAltExtAlt;
                if (fits(CombineChoice::BaseAltExt))
                    return CombineChoice::BaseAltExt;
            }
            return CombineChoice::BaseExt;
        }
        return fits(CombineChoice::BaseAltExt) ? CombineChoice::BaseAltExt : CombineChoice::BaseAltAlone;
    }
    if (hasBase) {
        if (!fits(CombineChoice::BaseExt) && !baseAltEmpty && fits(CombineChoice::BaseAltExt))
            return CombineChoice::BaseAltExt;
        return CombineChoice::BaseExt;
    }
    if (hasExt) {
        if (!fits(CombineChoice::BaseExt) && !extAltEmpty && fits(CombineChoice::BaseExtAlt))
            return CombineChoice::BaseExtAlt;
        return CombineChoice::BaseExt;
    }
    return CombineChoice::Template;
}

inline bool ChoiceUsesBaseAlt(CombineChoice c)
{
    return c == CombineChoice::BaseAltExtAlt || c == CombineChoice::BaseAltExt;
}
inline bool ChoiceUsesExtAlt(CombineChoice c)
{
    return c == CombineChoice::BaseExtAlt || c == CombineChoice::BaseAltExtAlt;
}

// A template split once into literal runs and tokens, so that filling it for
// many records needs no searching. Filling it equals the token-by-token
// replacement whenever the template is clean (no brace outside its tokens)
// and no value holds a brace: then no replacement can make a new token.
class CompiledTemplate
{
public:
    CompiledTemplate() = default;
    CompiledTemplate(const QString& text, std::initializer_list<TokenKind> tokens);

    bool clean() const { return m_clean; }
    bool has(TokenKind kind) const { return m_count[kind] > 0; }
    int count(TokenKind kind) const { return m_count[kind]; }
    // Typed inner name at the first occurrence (GetToken of the template).
    const QString& form(TokenKind kind) const { return m_form[kind]; }
    // Makes each form the very text of an equal one in pool (adding those
    // not there yet), so that forms can be told apart by their data.
    void shareForms(std::vector<QString>& pool);
    qsizetype literalLength() const { return m_literalLength; }
    // False when the template filled with values, of which valueQuotes[kind]
    // tells whether the value of that token kind holds a character that
    // makes a field need quotes, cannot need quotes: its check can go.
    bool mayNeedQuotes(const std::array<bool, TokKindCount>& valueQuotes) const
    {
        if (m_literalQuotes)
            return true;
        for (int kind = TokCampaign; kind < TokKindCount; ++kind) {
            if (m_count[size_t(kind)] > 0 && valueQuotes[size_t(kind)])
                return true;
        }
        return false;
    }
    const QString& text() const { return m_text; }

    // Appends the template to out (a QString or a RowText) with each token
    // kind replaced by values[kind].
    template <class Text>
    void appendTo(Text& out, const TokenValues& values) const
    {
        for (const Segment& s : m_segments) {
            const std::optional<QStringView>& v = values[s.kind];
            out += s.kind != TokLiteral && v ? *v : QStringView(s.text);
        }
    }
    // Like appendTo, but into pieces[0], pieces[1], ... starting a new piece at
    // every "{match}"; returns the number of pieces (the vector may hold more).
    size_t appendPieces(std::vector<RowText>& pieces, const TokenValues& values) const;

private:
    struct Segment {
        TokenKind kind;
        QString text;
    };
    QString m_text;
    std::vector<Segment> m_segments;
    std::array<int, TokKindCount> m_count{};
    std::array<QString, TokKindCount> m_form;
    qsizetype m_literalLength = 0;
    bool m_clean = true;
    bool m_literalQuotes = false;
};

namespace detail {
// Makes every text go through the token-by-token replacement (to compare
// both ways of filling in tests).
void setLiteralFillOnly(bool on);
bool literalFillOnly();
} // namespace detail

} // namespace generator

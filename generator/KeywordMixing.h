#pragma once

#include "generator/TemplateText.h"

#include <QList>
#include <QString>

#include <vector>

// Keyword lists, keyword mixing and ad groups. Records are kept as indexes into
// the two keyword-line tables so that millions of them stay small; a
// KeywordRecord with its six texts is made on demand.
namespace generator {

// One element of a keyword box (one text line).
struct KeywordElement {
    QString line;
    QString keyword;      // line without its first "[...]" part, trimmed
    QString alternative;  // trimmed text inside the first "[...]"
    bool empty = true;    // the line is exactly ""
    bool braces = false;  // keyword or alternative holds "{" or "}"
    bool brackets = false; // keyword holds "[" or "]"
    bool quotes = false;  // keyword or alternative holds "," or a double quote (a field of it needs quotes)
};

struct KeywordLists {
    std::vector<KeywordElement> base;
    std::vector<KeywordElement> ext;
    bool extensionBoxBlank = true; // the extension box is empty after trimming

    // Splits the two box texts at CRLF (a bare LF counts as CRLF); the base
    // text always gets a final CRLF, the extension text when not empty.
    static KeywordLists fromTexts(const QString& baseText, const QString& extensionText);
    qsizetype baseLastIndex() const { return qsizetype(base.size()) - 1; }
    qsizetype extLastIndex() const { return qsizetype(ext.size()) - 1; }
};

// How the mix text of a record is formed.
enum MixForm : quint8 { MixNone, MixBase, MixExtension, MixExtBase, MixBaseExt };

// A keyword record or ad group by reference: base and extension element
// indexes (-1: empty text) and the mix form.
struct RecordRef {
    qint32 base = -1;
    qint32 ext = -1;
    quint8 mix = MixNone;
    quint8 flags = 0;

    enum Flag : quint8 {
        NoBaseAlternative = 1, // the base alternative stays empty
        NoExtAlternative = 2,  // the extension alternative stays empty
        NameHasBrace = 4,      // ad groups: the name holds "{" or "}"
    };
};

struct MixOptions {
    Mixing mixing = Mixing::ExtensionBeforeBase;
    Grouping grouping = Grouping::ByBase;
    Include includeBase = Include::Yes;
    Include includeExt = Include::No;

    static MixOptions of(const CampaignData& campaign);
};

// The generator's record: six texts.
struct KeywordRecord {
    QString mix;
    QString base;
    QString extension;
    QString group;
    QString baseAlternative;
    QString extensionAlternative;
    bool operator==(const KeywordRecord&) const = default;
};

// The keyword records in row order. stepLabel (optional) receives the label of
// the last step reached.
std::vector<RecordRef> MixKeywords(const KeywordLists& lists, const MixOptions& options,
                                   QString* stepLabel = nullptr);

struct AdGroupList {
    std::vector<RecordRef> groups;
    std::vector<QString> names; // parallel to groups; "" for an entry without a name
    qsizetype lastIndex() const { return qsizetype(groups.size()) - 1; }
};

AdGroupList FormAdGroups(const KeywordLists& lists, const MixOptions& options, const QString& customGroup,
                         const GroupNameOptions& nameOptions);

// Texts of a referenced record.
const QString& BaseText(const KeywordLists& lists, const RecordRef& r);
const QString& ExtText(const KeywordLists& lists, const RecordRef& r);
const QString& BaseAltText(const KeywordLists& lists, const RecordRef& r);
const QString& ExtAltText(const KeywordLists& lists, const RecordRef& r);
QString MixText(const KeywordLists& lists, const RecordRef& r);

KeywordRecord ToKeywordRecord(const KeywordLists& lists, const RecordRef& r, const QString& group = QString());
QList<KeywordRecord> ToKeywordRecords(const KeywordLists& lists, const std::vector<RecordRef>& refs);
QList<KeywordRecord> ToKeywordRecords(const KeywordLists& lists, const AdGroupList& groups);

} // namespace generator

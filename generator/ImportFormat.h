#pragma once

#include "generator/RowText.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The one definition of the three import files' text format, for the
// generator that writes them and the lists that read them back.
//
// Rows end with CRLF and their fields are separated by ",". A field that
// holds a comma or a double quote is written between double quotes with its
// inner double quotes doubled (RFC 4180), so that it stays one field. A
// headline or description whose typed text holds a comma has its own older
// form: between double quotes with every comma written as "%2C"; a field in
// that form is written as it stands.
namespace ImportFormat {

// The files in the order a build writes them.
enum class File { Keywords, Ads, AdGroups };
constexpr int FileCount = 3;

// "AdwordsKeywords.csv", "AdwordsAds.csv", "AdwordsAdGroups.csv".
QString fileName(File file);

// ---------------------------------------------------------------- columns

// What a field of a row holds.
enum class Field {
    Campaign,
    AdGroup,
    Keyword,
    KeywordType,
    MaxCpc,
    DestinationUrl,
    Headline,
    DescriptionLine1,
    DescriptionLine2,
    DisplayUrl,
    MaxContentCpc,
    PlacementMaxCpc,
};

// One column of a file: the field that its writer puts in that place of a
// row, and the caption that its list shows above it.
struct Column {
    Field field;
    QString caption;
};

// The columns of a file in the order of a row's fields: field n of a row is
// column n. A row may end before its last columns (no destination URL, no
// content or placement bid), never after them.
const QList<Column>& columns(File file);
// The captions of the columns, in that order.
QStringList columnCaptions(File file);
// Where a field stands in a row of the file; -1 when the file has none.
int columnOf(File file, Field field);

inline const QString& rowEnd()
{
    static const QString crlf = QStringLiteral("\r\n");
    return crlf;
}

// ---------------------------------------------------------------- writing

inline bool needsQuoting(QStringView field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"'))
            return true;
    }
    return false;
}

// Appends field to row (a QString or a RowText), quoted when it needs it.
template <class Text>
void appendField(Text& row, QStringView field)
{
    if (!needsQuoting(field)) {
        row += field;
        return;
    }
    row += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            row += QLatin1Char('"');
        row += c;
    }
    row += QLatin1Char('"');
}

// Quotes, when it needs it, the field that makes up the end of row from
// index start.
void quoteFrom(generator::RowText& row, qsizetype start);
// field as written, quoted when it needs it.
QString quoted(const QString& field);

// A typed headline or description in the "%2C" form when it holds a comma
// (*inOwnForm set), else unchanged.
QString adTextForm(const QString& typed, bool* inOwnForm);
// True when text, made from a typed ad text in the "%2C" form, still stands
// in that form (between its double quotes), so it is written as it is.
bool keepsAdTextForm(bool typedInOwnForm, QStringView text);

// ---------------------------------------------------------------- reading

struct ReadField {
    QString value;
    bool quoted = false; // read as a well-formed quoted field
};

// The fields of one line (no line break). A field that begins with a double
// quote and is a well-formed quoted field (closing quote followed by "," or
// the end of the line, inner quotes doubled) loses its quotes and has ""
// read as "; one that begins with a double quote but is not well formed is
// taken as it stands up to the next ",".
QList<ReadField> readLine(QStringView line);

// A field after the first of a line as read back, the "%2C" form undone:
// every "%2C" as ","; an unquoted field that holds "%2C" also loses one
// leading and one trailing double quote.
QString readValue(const ReadField& field);

// Every "%2C" of a text as ",".
QString decodeCommas(QString text);

} // namespace ImportFormat

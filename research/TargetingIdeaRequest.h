#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The keyword-ideas request of keyword research: one SOAP 1.1 call of the
// ad platform's TargetingIdeaService "get" (API v201809), built from what
// the research window holds. GUI-free; missing code files and a seed list
// without a positive keyword are told through the prompter.
namespace TargetingIdeaRequest {

// One entry of the window's language or country list.
struct ListEntry {
    QString name;
    bool ticked = false;
};

// What the window holds when Get is clicked.
struct Input {
    QString seedKeywords;       // one keyword per line (CRLF or LF)
    QList<ListEntry> languages; // in list order
    QList<ListEntry> countries;
    QString maxResults;         // the "Maximum Keywords to Return" text
};

struct PostString {
    QString text;               // the whole request; "" when none can be made
    // Neither a language nor a country was ticked: the ideas' volumes are
    // global ones ("Monthly Searches (Global)").
    bool global = false;
};

// The whole request text, lines ending with CRLF and nothing after
// "</soap:Envelope>"; the text is sent as UTF-8, as its declaration says.
// The ticked entries' ids come from the code files; a ticked entry whose id
// is missing or not a whole number is left out (the latter logged).
// "" when a code file is missing (the user was told), or no line of the
// seed keywords gives a query. requestType is "IDEAS" for the window.
PostString GetPostStringGoogle(const Input& input, const QString& requestType);

// The request header: lines "<soap:Header>" to "</soap:Header>" (no line
// end after the last), with the built-in customer id, user agent and
// developer token.
QString SoapHeaderGoogle();

// The query lines "<o:queries>...</o:queries>" & CRLF of the non-blank
// lines among the first ten (blank ones count), or up to the next
// non-blank line when the tenth is blank: at most ten queries.
// A leading "-" marks a negative keyword, sent without the "-"; a line
// between "[" and "]" or between double quotes is sent without them. The
// text is escaped for XML ("&", "<", ">", quotes); characters 128 to 255
// become character references, others stay as they are; nothing else is
// lost but characters that XML cannot hold. "" without any line (blank
// lines do not count), and "" after the "Positive Keywords" message when
// no line gives a positive query (a bare "-" or "[]" gives none).
QString SplitKeywordsGoogle(const QStringList& lines);

} // namespace TargetingIdeaRequest

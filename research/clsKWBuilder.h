#pragma once

#include <QList>
#include <QString>

// One keyword idea of a research reply, every value as text.
struct clsKWBuilder {
    QString Keyword;
    QString Search;         // monthly search volume (digits), or "" when the reply has none
    QString KEI = QStringLiteral("-1");  // keyword effectiveness index, or "-"
    QString Language;       // carried, not filled by the reply parser
    QString Country;        // carried, not filled by the reply parser
    QString Competition;    // "Low", "Medium", "High", or "" when the reply has none
    QString GlobalSearch;   // the search volume, or "Not Enough Data"
};

using KeywordIdeas = QList<clsKWBuilder>;

#pragma once

#include "research/clsKWBuilder.h"

#include <QString>

#include <functional>

// A fraction in [0, 1); the program's pseudo-random generator unless a
// caller supplies its own.
using RandomFraction = std::function<double()>;
RandomFraction programRandom();

namespace GoogleResultParser {

// The keyword ideas of a TargetingIdeaService "get" reply, in entry order.
// Elements are found by name, unprefixed or with "ns2:". In each entry the
// data items are taken by position: 0 the keyword, 1 the competition
// (0 to 1), 2 the search volume; each value is the inner "value" element.
// An entry with fewer than three data items or without a keyword adds no
// idea. Competition: "Low" up to 0.3333, "Medium" up to 0.6667, "High"
// above and at 0 or below. KEI = (1 + r) × volume ÷ (competition × 100000),
// rounded half to even to four decimals, with r drawn once per idea, or "-"
// when competition or volume is not above 0. A reply that is not XML, has
// no result or nests elements more than 100 deep gives no ideas. Every reply or entry that cannot be read is
// logged on one line ("clsKeywordBuilder_GetResultGoogle: ...").
KeywordIdeas GetResultGoogle(const QString& data, const RandomFraction& random);

// The competition label of a value; exposed for its boundaries.
QString competitionLabel(double competition);
// The KEI of an idea as text: (1 + r) × volume ÷ (competition × 100000)
// rounded half to even to four decimals, without trailing zeros; "-" when
// competition or volume is not above 0.
QString keiText(double competition, double volume, double r);

} // namespace GoogleResultParser

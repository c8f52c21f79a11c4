#pragma once

#include "generator/BuildContext.h"
#include "generator/RowWriter.h"

namespace generator {

// AdwordsKeywords.csv: one row per keyword record with a mix text and per
// ticked match type (campaign, ad group, keyword, match type, bid and, with
// a URL template, the keyword URL), in record order.
void WriteKeywordFile(BuildContext& context, RowWriter& file);

} // namespace generator

#pragma once

#include "generator/BuildContext.h"
#include "generator/RowWriter.h"

namespace generator {

// AdwordsAds.csv: one row per named ad group and filled ad slot, the slot's
// five texts finished for the group. Sets the title warnings of the result.
void WriteAdsFile(BuildContext& context, RowWriter& file);

} // namespace generator

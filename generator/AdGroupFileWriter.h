#pragma once

#include "generator/BuildContext.h"
#include "generator/RowWriter.h"

namespace generator {

// False when all three ad-group bid boxes are empty: the build then leaves
// AdwordsAdGroups.csv as it is.
bool WritesAdGroupFile(const CampaignData& campaign);

// AdwordsAdGroups.csv: one row per named ad group with its bids.
void WriteAdGroupFile(BuildContext& context, RowWriter& file);

} // namespace generator

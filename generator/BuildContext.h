#pragma once

#include "generator/CampaignGenerator.h"
#include "generator/KeywordMixing.h"
#include "generator/TemplateText.h"

#include <QString>

#include <vector>

namespace generator {

// What the writers of one build share: the input, the options derived from
// it, the keyword records and ad groups, the step label of the error lines
// and the result being gathered.
class BuildContext
{
public:
    BuildContext(const GenerationInput& input, const GenerationCallbacks& callbacks);

    const GenerationInput& input;
    const CampaignData& campaign;
    const GroupNameOptions nameOptions;
    const MixOptions mixOptions;
    // The campaign name holds a brace, so a token could be formed by filling
    // it in: texts are then filled token by token.
    const bool campaignBrace;

    KeywordLists lists;
    std::vector<RecordRef> records;
    AdGroupList groups;

    QString stepLabel;
    GenerationResult result;

    void progress(GenerationPhase phase, qsizetype index, qsizetype lastIndex) const;
    // Logs "BuildCampaigns_Error: " & description & " - " & the step label,
    // records the error and tells the caller; an empty description is no error.
    void reportError(const QString& description);
    // Texts filled token by token only (see detail::setLiteralFillOnly).
    bool literalOnly() const { return detail::literalFillOnly(); }

private:
    const GenerationCallbacks& m_callbacks;
};

} // namespace generator

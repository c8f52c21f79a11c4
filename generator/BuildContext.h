#pragma once

#include "generator/BlockPipeline.h"
#include "generator/CampaignGenerator.h"
#include "generator/KeywordMixing.h"
#include "generator/TemplateText.h"

#include <QString>

#include <functional>
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
    // The campaign name holds a comma or a double quote.
    const bool campaignQuotes;

    KeywordLists lists;
    std::vector<RecordRef> records;
    AdGroupList groups;

    QString stepLabel;
    GenerationResult result;

    void progress(GenerationPhase phase, qsizetype index, qsizetype lastIndex) const;
    // Writes the rows of records 0 to lastIndex of the file of phase, formatted
    // on worker threads by formatters that makeFormatter makes (see
    // WriteInBlocks), with the phase's progress; written sees the blocks in
    // record order.
    void writeRows(GenerationPhase phase, RowWriter& file, qsizetype lastIndex,
                   std::function<BlockFormatter()> makeFormatter,
                   std::function<void(const RowBlock& block)> written = {}) const;
    // Logs "BuildCampaigns_Error: " & description & " - " & the step label,
    // records the error and tells the caller; an empty description is no error.
    void reportError(const QString& description);
    // For the values of record r (and groupQuotes for its ad group's name),
    // whether each holds a character that makes a field need quotes: a field
    // made of none of them needs no check (CompiledTemplate::mayNeedQuotes).
    std::array<bool, TokKindCount> valueQuotes(const RecordRef& r, bool groupQuotes) const;
    // Texts filled token by token only (see detail::setLiteralFillOnly).
    bool literalOnly() const { return detail::literalFillOnly(); }

private:
    const GenerationCallbacks& m_callbacks;
};

} // namespace generator

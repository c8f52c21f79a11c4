#include "generator/BuildContext.h"

#include "core/ErrorLog.h"
#include "generator/ImportFormat.h"

namespace generator {

BuildContext::BuildContext(const GenerationInput& in, const GenerationCallbacks& callbacks)
    : input(in)
    , campaign(in.campaign)
    , nameOptions(GroupNameOptions::of(in.campaign))
    , mixOptions(MixOptions::of(in.campaign))
    , campaignBrace(HasBrace(in.campaignName))
    , campaignQuotes(ImportFormat::needsQuoting(in.campaignName))
    , m_callbacks(callbacks)
{
}

std::array<bool, TokKindCount> BuildContext::valueQuotes(const RecordRef& r, bool groupQuotes) const
{
    std::array<bool, TokKindCount> quotes{};
    quotes[TokCampaign] = campaignQuotes;
    quotes[TokAdGroup] = groupQuotes;
    quotes[TokBase] = r.base >= 0 && lists.base[size_t(r.base)].quotes;
    quotes[TokExtension] = r.ext >= 0 && lists.ext[size_t(r.ext)].quotes;
    quotes[TokMix] = quotes[TokBase] || quotes[TokExtension];
    return quotes;
}

void BuildContext::progress(GenerationPhase phase, qsizetype index, qsizetype lastIndex) const
{
    if (m_callbacks.progress)
        m_callbacks.progress(phase, index, lastIndex);
}

void BuildContext::writeRows(GenerationPhase phase, RowWriter& file, qsizetype lastIndex,
                             std::function<BlockFormatter()> makeFormatter,
                             std::function<void(const RowBlock& block)> written) const
{
    BlockJob job;
    job.lastIndex = lastIndex;
    job.makeFormatter = std::move(makeFormatter);
    job.progress = [this, phase, lastIndex](qsizetype index) { progress(phase, index, lastIndex); };
    job.written = std::move(written);
    WriteInBlocks(job, file);
}

void BuildContext::reportError(const QString& description)
{
    if (description.isEmpty())
        return;
    ErrorLog::WriteErrorLog(QStringLiteral("BuildCampaigns_Error: ") + description + QStringLiteral(" - ") + stepLabel);
    result.errors << description;
    if (m_callbacks.error)
        m_callbacks.error(description);
}

} // namespace generator

#include "generator/BuildContext.h"

#include "core/modCommon.h"

namespace generator {

BuildContext::BuildContext(const GenerationInput& in, const GenerationCallbacks& callbacks)
    : input(in)
    , campaign(in.campaign)
    , nameOptions(GroupNameOptions::of(in.campaign))
    , mixOptions(MixOptions::of(in.campaign))
    , campaignBrace(HasBrace(in.campaignName))
    , m_callbacks(callbacks)
{
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
    modCommon::WriteErrorLog(QStringLiteral("BuildCampaigns_Error: ") + description + QStringLiteral(" - ") + stepLabel);
    result.errors << description;
    if (m_callbacks.error)
        m_callbacks.error(description);
}

} // namespace generator

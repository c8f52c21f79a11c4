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

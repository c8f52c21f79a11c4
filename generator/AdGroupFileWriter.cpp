#include "generator/AdGroupFileWriter.h"

#include "core/modCommon.h"
#include "generator/ImportFormat.h"

namespace generator {

using ImportFormat::appendField;
using ImportFormat::quoted;

bool WritesAdGroupFile(const CampaignData& campaign)
{
    return !campaign.maxCPC.isEmpty() || !campaign.maxContentCPC.isEmpty() || !campaign.placementMaxCPC.isEmpty();
}

void WriteAdGroupFile(BuildContext& context, RowWriter& file)
{
    const CampaignData& c = context.campaign;
    QString maxCpc = modCommon::Trim(c.maxCPC);
    if (maxCpc.isEmpty())
        maxCpc = QStringLiteral("0.00");
    const QString campaign = quoted(context.input.campaignName);
    const bool content = !c.maxContentCPC.isEmpty();
    const bool placement = !c.placementMaxCPC.isEmpty();
    const QString maxCpcField = quoted(maxCpc);
    QString tail;
    if (content)
        tail += QLatin1Char(',') + quoted(c.maxContentCPC);
    else if (placement)
        tail += QStringLiteral(",0.00");
    if (placement)
        tail += QLatin1Char(',') + quoted(c.placementMaxCPC);

    const qsizetype last = context.groups.lastIndex();
    for (qsizetype gi = 0; gi <= last; ++gi) {
        if (gi % 100 == 0)
            context.progress(GenerationPhase::AdGroupFile, gi, last);
        const QString& name = context.groups.names[size_t(gi)];
        if (name.isEmpty())
            continue;
        QString& out = file.row();
        out += campaign;
        out += QLatin1Char(',');
        appendField(out, !content && !placement ? modCommon::Trim(name) : name);
        out += QLatin1Char(',');
        out += maxCpcField;
        out += tail;
        file.endRow();
    }
}

} // namespace generator
